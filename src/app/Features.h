#pragma once
// The features that the window's own panels do not have (the book watch's
// panel, the pickup line, the archive, the tray, the news teller): each is a
// class of its own, made here when first used. One feature asks another
// through these accessors and the feature's interface, never through its
// widgets.
#include <memory>

class Form1;

class Features {
public:
    explicit Features(Form1 &window);
    ~Features();
    Features(const Features &) = delete;
    Features &operator=(const Features &) = delete;

private:
    Form1 &window;
};
