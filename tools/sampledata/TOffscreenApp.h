#pragma once
// A QGuiApplication on the offscreen platform for drawing without a display: fonts, QImage and
// QPainter need one. Creates it only when the process has no application object yet.

#include <memory>

class QGuiApplication;

namespace SampleData {

class TOffscreenApp {
public:
    TOffscreenApp();
    ~TOffscreenApp();
    TOffscreenApp(const TOffscreenApp&) = delete;
    TOffscreenApp& operator=(const TOffscreenApp&) = delete;

private:
    std::unique_ptr<QGuiApplication> App;
};

} // namespace SampleData
