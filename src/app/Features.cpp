#include "app/Features.h"

#include "app/Form1.h"

Features::Features(Form1 &window_) : window(window_) {}

Features::~Features() = default;
