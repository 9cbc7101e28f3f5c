#pragma once
// 1-bit pictures. Drawing happens on an 8-bit grey canvas with antialiasing; ToMono then cuts
// it at half grey into a two-colour picture whose index 0 is pure black and index 1 white, so
// every picture is the same on every run.

#include <QImage>

namespace SampleData {

// A white 8-bit grey canvas.
QImage NewCanvas(int width, int height);
// The canvas cut at half grey: darker than 128 becomes black. Format_Mono, index 0 black.
QImage ToMono(const QImage& canvas);
// Black and white swapped.
QImage InvertMono(const QImage& mono);

bool IsBlack(const QImage& mono, int x, int y);
int BlackPixelCount(const QImage& mono);
// Pixels whose colour differs between two pictures of the same size.
int DifferentPixelCount(const QImage& a, const QImage& b);

} // namespace SampleData
