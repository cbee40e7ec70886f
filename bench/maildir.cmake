foreach(_bench MaildirScanBench MaildirIdleBench MaildirBurstBench)
  add_executable(bench_${_bench} ${_bench}.cpp)
  target_link_libraries(bench_${_bench} PRIVATE lumora_host_maildir Qt6::Core)
  lumora_warnings(bench_${_bench})
endforeach()

add_executable(bench_HugeHeaderBench HugeHeaderBench.cpp)
target_link_libraries(bench_HugeHeaderBench PRIVATE lumora_mailheader Qt6::Core)
lumora_warnings(bench_HugeHeaderBench)
