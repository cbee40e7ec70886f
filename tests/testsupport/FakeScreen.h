#pragma once

#include "platform/desktop/WorkArea.h"

namespace lumora::test {

// A work area of the test's choosing; installed for its lifetime.
class FakeScreen : public WorkArea
{
public:
    explicit FakeScreen(const QRect &initial = QRect(0, 0, 1024, 738))
        : area(initial)
    {
        WorkArea::setInstance(this);
    }
    ~FakeScreen() override { WorkArea::setInstance(nullptr); }

    QRect primaryWorkArea() const override { return area; }

    QRect area;
};

} // namespace lumora::test
