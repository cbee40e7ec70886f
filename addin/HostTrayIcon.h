#pragma once

namespace lumora {

// The mail application's own new-mail icon in the notification area, which the add-in
// replaces with its own for host versions 9 and 10.
class HostTrayIcon
{
public:
    // Finds the host's untitled main window by its class and asks the shell to drop that
    // window's icon 0; harmless where no such window or icon exists.
    static void Remove();
};

} // namespace lumora
