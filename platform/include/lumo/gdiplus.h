// The Linux stand-in for the GDI+ flat interface (gdiplus.dll) that the painter uses, drawn with
// cairo. Same names, types and enumeration values as the Windows SDK's flat API.
#pragma once

#include "win32.h"

typedef float REAL;
typedef DWORD ARGB;
typedef WORD LANGID;
typedef INT PixelFormat;

enum GpStatus {
    Ok = 0, GenericError = 1, InvalidParameter = 2, OutOfMemory = 3, ObjectBusy = 4,
    InsufficientBuffer = 5, NotImplemented = 6, Win32Error = 7, WrongState = 8, Aborted = 9,
    FileNotFound = 10, ValueOverflow = 11, AccessDenied = 12, UnknownImageFormat = 13,
    FontFamilyNotFound = 14, FontStyleNotFound = 15, NotTrueTypeFont = 16,
    UnsupportedGdiplusVersion = 17, GdiplusNotInitialized = 18
};
typedef GpStatus Status;

enum GpUnit { UnitWorld = 0, UnitDisplay = 1, UnitPixel = 2, UnitPoint = 3, UnitInch = 4,
              UnitDocument = 5, UnitMillimeter = 6 };
typedef GpUnit Unit;
enum SmoothingMode { SmoothingModeDefault = 0, SmoothingModeHighSpeed = 1,
                     SmoothingModeHighQuality = 2, SmoothingModeNone = 3,
                     SmoothingModeAntiAlias = 4 };
enum GpMatrixOrder { MatrixOrderPrepend = 0, MatrixOrderAppend = 1 };
typedef GpMatrixOrder MatrixOrder;
enum GpFillMode { FillModeAlternate = 0, FillModeWinding = 1 };
typedef GpFillMode FillMode;
enum StringAlignment { StringAlignmentNear = 0, StringAlignmentCenter = 1, StringAlignmentFar = 2 };
enum FontStyle { FontStyleRegular = 0, FontStyleBold = 1, FontStyleItalic = 2 };

#define PixelFormat32bppARGB 0x26200A

struct GpPointF { REAL X, Y; };
struct GpRectF { REAL X, Y, Width, Height; };
typedef GpPointF PointF;
typedef GpRectF RectF;

// Opaque handles; the stand-in derives its objects from these. A bitmap is an image and a solid
// fill is a brush, as in the SDK's headers.
struct GpImage {};
struct GpBitmap : GpImage {};
struct GpGraphics {};
struct GpPen {};
struct GpBrush {};
struct GpSolidFill : GpBrush {};
struct GpFont {};
struct GpFontFamily {};
struct GpStringFormat {};

struct GdiplusStartupInput {
    UINT GdiplusVersion;
    void* DebugEventCallback;
    BOOL SuppressBackgroundThread;
    BOOL SuppressExternalCodecs;
};
struct GdiplusStartupOutput {
    void* NotificationHook;
    void* NotificationUnhook;
};

#define WINGDIPAPI

extern "C" {

GpStatus WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input,
                               GdiplusStartupOutput* output);
void WINAPI GdiplusShutdown(ULONG_PTR token);

GpStatus WINGDIPAPI GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format,
                                              BYTE* scan0, GpBitmap** bitmap);
GpStatus WINGDIPAPI GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics);
GpStatus WINGDIPAPI GdipCreateFromHDC(HDC hdc, GpGraphics** graphics);
GpStatus WINGDIPAPI GdipCreatePen1(ARGB color, REAL width, GpUnit unit, GpPen** pen);
GpStatus WINGDIPAPI GdipCreateSolidFill(ARGB color, GpSolidFill** brush);
GpStatus WINGDIPAPI GdipGetGenericFontFamilySansSerif(GpFontFamily** family);
GpStatus WINGDIPAPI GdipCreateFont(const GpFontFamily* family, REAL size, INT style, Unit unit,
                                   GpFont** font);
GpStatus WINGDIPAPI GdipCreateStringFormat(INT formatFlags, LANGID language, GpStringFormat** format);

GpStatus WINGDIPAPI GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode mode);
GpStatus WINGDIPAPI GdipFillRectangleI(GpGraphics* graphics, GpBrush* brush, INT x, INT y,
                                       INT width, INT height);
GpStatus WINGDIPAPI GdipTranslateWorldTransform(GpGraphics* graphics, REAL dx, REAL dy,
                                                GpMatrixOrder order);
GpStatus WINGDIPAPI GdipScaleWorldTransform(GpGraphics* graphics, REAL sx, REAL sy,
                                            GpMatrixOrder order);
GpStatus WINGDIPAPI GdipSetStringFormatLineAlign(GpStringFormat* format, StringAlignment align);
GpStatus WINGDIPAPI GdipSetStringFormatAlign(GpStringFormat* format, StringAlignment align);
GpStatus WINGDIPAPI GdipDrawString(GpGraphics* graphics, const WCHAR* text, INT length,
                                   const GpFont* font, const RectF* layout,
                                   const GpStringFormat* format, const GpBrush* brush);
GpStatus WINGDIPAPI GdipDrawLine(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2,
                                 REAL y2);
GpStatus WINGDIPAPI GdipFillPolygon(GpGraphics* graphics, GpBrush* brush, const GpPointF* points,
                                    INT count, GpFillMode fillMode);
GpStatus WINGDIPAPI GdipDrawLines(GpGraphics* graphics, GpPen* pen, const GpPointF* points,
                                  INT count);
GpStatus WINGDIPAPI GdipBitmapGetPixel(GpBitmap* bitmap, INT x, INT y, ARGB* color);
GpStatus WINGDIPAPI GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y,
                                       INT width, INT height);

GpStatus WINGDIPAPI GdipDeleteStringFormat(GpStringFormat* format);
GpStatus WINGDIPAPI GdipDeleteFont(GpFont* font);
GpStatus WINGDIPAPI GdipDeleteBrush(GpBrush* brush);
GpStatus WINGDIPAPI GdipDeletePen(GpPen* pen);
GpStatus WINGDIPAPI GdipDeleteGraphics(GpGraphics* graphics);
GpStatus WINGDIPAPI GdipDisposeImage(GpImage* image);

}  // extern "C"
