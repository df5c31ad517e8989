// GDI+ is the host's to start, once per process, before the first paint: the plug-in keeps the
// sans-serif family it fetched for as long as it is loaded.
#include <gtest/gtest.h>

#include "graph-window/Gdiplus.h"

namespace {
using namespace lumo::gdip;

class GdiplusEnvironment : public testing::Environment {
public:
    void SetUp() override {
        GdiplusStartupInput input = {};
        input.GdiplusVersion = 1;
        ASSERT_EQ(GdiplusStartup(&token_, &input, nullptr), Ok);
    }
    void TearDown() override { GdiplusShutdown(token_); }

private:
    ULONG_PTR token_ = 0;
};

[[maybe_unused]] testing::Environment* const gEnvironment =
    testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace
