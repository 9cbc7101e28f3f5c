#pragma once
// The twelve direction-arrow styles: each an animation of six up frames and six down frames,
// 48 x 64 pixels. A down frame is the up frame of the same number turned upside down, so the
// down animation moves downwards.

#include <QImage>
#include <QPainterPath>

namespace SampleData {

class TArrowStyle {
public:
    static constexpr int StyleCount = 12;
    static constexpr int FrameCount = 6;
    static constexpr int Width = 48;
    static constexpr int Height = 64;

    explicit TArrowStyle(int style) : Style(style) {}

    static const char* StyleName(int style);
    QImage Frame(int frame, bool up) const;

private:
    QImage UpFrame(int frame) const;

    int Style;
};

} // namespace SampleData
