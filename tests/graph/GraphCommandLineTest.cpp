// lumo graph, run as a user runs it: the PNG it writes has the graph window's client size and
// shows the labels, the grid and the requested boost. On Windows (under Wine) the picture comes
// from real GDI+ and the system's fonts; it is read back with GDI+, natively with cairo.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "PaintProbes.h"

#ifdef _WIN32
#include <objidl.h>
#include <gdiplus.h>
#else
#include <cairo.h>
#include <sys/wait.h>
#include <unistd.h>
#include <lumo/standin.h>
#endif

namespace lumo::graphtest {
namespace {

using namespace probes;

constexpr int kDefaultOuterWidth = 406, kDefaultOuterHeight = 232;

struct CommandRun {
    int exitCode = -1;
    std::string out;
};

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

#ifdef _WIN32
std::string TempPath(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name;
}

CommandRun RunLumo(const std::string& arguments) {
    const std::string outPath = TempPath("lumo-graph-stdout.txt");
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    CommandRun run;
    if (out == INVALID_HANDLE_VALUE) return run;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" LUMO_CLI_PATH "\" " + arguments;
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        run.exitCode = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out);
    run.out = ReadText(outPath);
    DeleteFileA(outPath.c_str());
    return run;
}

// GDI+ for the reading; started once, as in any program that uses it.
bool ReadPng(const std::string& path, Image* image) {
    static ULONG_PTR token = 0;
    if (token == 0) {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
    }
    std::wstring widePath(path.begin(), path.end());
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromFile(widePath.c_str(), &bitmap) != Gdiplus::Ok)
        return false;
    UINT width = 0, height = 0;
    Gdiplus::DllExports::GdipGetImageWidth(bitmap, &width);
    Gdiplus::DllExports::GdipGetImageHeight(bitmap, &height);
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    image->argb.assign(static_cast<size_t>(width) * height, 0);
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x) {
            Gdiplus::ARGB argb = 0;
            Gdiplus::DllExports::GdipBitmapGetPixel(bitmap, x, y, &argb);
            image->argb[static_cast<size_t>(y) * width + x] = argb;
        }
    Gdiplus::DllExports::GdipDisposeImage(bitmap);
    return true;
}

void RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

// The client size of the graph window's frame at its default outer size.
void DefaultClientSize(int* width, int* height) {
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, FALSE, WS_EX_TOOLWINDOW);
    *width = kDefaultOuterWidth - (frame.right - frame.left);
    *height = kDefaultOuterHeight - (frame.bottom - frame.top);
}
#else
std::string TempPath(const char* name) { return testing::TempDir() + std::to_string(getpid()) + "-" + name; }

CommandRun RunLumo(const std::string& arguments) {
    const std::string outPath = TempPath("lumo-graph-stdout.txt");
    const std::string command = "'" LUMO_CLI_PATH "' " + arguments + " >'" + outPath + "' 2>&1";
    const int status = std::system(command.c_str());
    CommandRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadText(outPath);
    std::remove(outPath.c_str());
    return run;
}

bool ReadPng(const std::string& path, Image* image) {
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return false;
    }
    cairo_surface_flush(surface);
    image->width = cairo_image_surface_get_width(surface);
    image->height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    image->argb.assign(static_cast<size_t>(image->width) * image->height, 0);
    // ARGB32 or RGB24 in native byte order; the picture is opaque either way.
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x) {
            uint32_t pixel;
            std::memcpy(&pixel, data + static_cast<size_t>(y) * stride + 4 * x, sizeof pixel);
            image->argb[static_cast<size_t>(y) * image->width + x] =
                cairo_image_surface_get_format(surface) == CAIRO_FORMAT_RGB24 ? pixel | 0xFF000000u
                                                                              : pixel;
        }
    cairo_surface_destroy(surface);
    return true;
}

void RemoveFile(const std::string& path) { std::remove(path.c_str()); }

void DefaultClientSize(int* width, int* height) {
    *width = kDefaultOuterWidth - 2 * kLumoStandinFrameBorder;
    *height = kDefaultOuterHeight - 2 * kLumoStandinFrameBorder - kLumoStandinCaptionHeight;
}
#endif

TEST(GraphCommandLine, WritesThePaintedClientAreaWithLabelsAndTheBoost) {
    const std::string png = TempPath("lumo-graph-test.png");
    RemoveFile(png);
    const CommandRun run = RunLumo("graph \"Tarvo Lumo-31\" -o \"" + png +
                            "\" --set Range=12 --set \"1 kHz=+6dB\"");
    ASSERT_EQ(run.exitCode, 0) << run.out;

    int clientWidth = 0, clientHeight = 0;
    DefaultClientSize(&clientWidth, &clientHeight);
    const std::string size = "(" + std::to_string(clientWidth) + "x" + std::to_string(clientHeight) + ")";
    EXPECT_NE(run.out.find("wrote " + png + " " + size), std::string::npos) << run.out;

    Image image;
    ASSERT_TRUE(ReadPng(png, &image)) << png;
    RemoveFile(png);
    ASSERT_EQ(image.width, clientWidth);
    ASSERT_EQ(image.height, clientHeight);

    const Plot plot(image.width, image.height);
    const int below = int(plot.Y(-1.0)) + 2;
    EXPECT_TRUE(IsBlack(PixelAt(image, image.width - 3, 3)));
    EXPECT_TRUE(BoxHasLabelInk(image, 1, 4, 22, 16));                          // "+30"
    EXPECT_TRUE(BoxHasLabelInk(image, 1, int(plot.Y(0.0)) - 6, 22, int(plot.Y(0.0)) + 6));  // "0"
    EXPECT_TRUE(BoxHasLabelInk(image, 25, below, 40, image.height - 1));       // "20"
    EXPECT_TRUE(BoxHasLabelInk(image, int(plot.X(1.0)) + 1, below, image.width - 1,
                               image.height - 1));                             // "20k"
    EXPECT_TRUE(IsGridColoured(GreenestAcrossRow(image, int(plot.X(0.4)), plot.Y(1.0 / 3.0))));

    // +6 dB at 1 kHz: filled up to 0.2 of the half height, the curve on top, nothing above it.
    const int x = int(plot.X(std::log(50.0) / std::log(1000.0))) + 2;  // beside the 1 kHz line
    EXPECT_TRUE(IsAreaColoured(PixelAt(image, x, int(plot.Y(0.1)))));
    EXPECT_TRUE(IsBlack(PixelAt(image, x, int(plot.Y(0.3)))));
    Colour top = {0, 0, -1, 0};
    for (int y = int(plot.Y(0.2)) - 2; y <= int(plot.Y(0.2)) + 2; ++y) {
        const Colour c = PixelAt(image, x, y);
        if (c.g > top.g) top = c;
    }
    EXPECT_GE(top.g, 150);  // the curve colour (0, 255, 50), over at least half a pixel
    EXPECT_LE(top.r, 10);
}

}  // namespace
}  // namespace lumo::graphtest
