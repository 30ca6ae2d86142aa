// Headers that test programs share, precompiled once per build (see zeb_test_pch).
#pragma once
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// Qt tests reuse a copy made with the widget headers; a test that does not link the
// widgets reads this file without the precompiled copy and skips them.
#if defined(ZEB_PCH_QT) && __has_include(<QtWidgets>)
#include <QtWidgets>
#endif
