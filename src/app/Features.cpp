#include "app/Features.h"

#include "app/Desktop.h"
#include "app/Form1.h"
#include "book/Archive.h"
#include "book/PastedNumbers.h"
#include "book/PickupLine.h"
#include "tracking/PhoneDigits.h"

namespace {
template <typename T>
T &madeOnFirstUse(std::unique_ptr<T> &feature, Form1 &window)
{
    if (!feature)
        feature = std::make_unique<T>(window);
    return *feature;
}
} // namespace

Features::Features(Form1 &window_) : window(window_) {}

Features::~Features() = default;

PickupLine &Features::pickupLine()
{
    return madeOnFirstUse(pickupLine_, window);
}

Archive &Features::archive()
{
    return madeOnFirstUse(archive_, window);
}

Desktop &Features::desktop()
{
    return madeOnFirstUse(desktop_, window);
}

PastedNumbers &Features::pastedNumbers()
{
    return madeOnFirstUse(pastedNumbers_, window);
}

PhoneDigits &Features::phoneDigits()
{
    return madeOnFirstUse(phoneDigits_, window);
}
