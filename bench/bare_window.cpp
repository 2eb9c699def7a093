// The yardstick for start-up: the least a Qt program can do to show a trace. One window at the
// viewer's first-run place and size (10, 10, 600 x 400), black, with a cyan polyline painted in
// its first paint. No menu, no settings, no file: what is left is Qt starting, the window system
// mapping the window and one paint, which is the floor the viewer's launch is measured against.

#include <QApplication>
#include <QPainter>
#include <QPolygonF>
#include <QWidget>

#include <cmath>

namespace {
constexpr int WINDOW_X = 10;
constexpr int WINDOW_Y = 10;
constexpr int WINDOW_WIDTH = 600;
constexpr int WINDOW_HEIGHT = 400;
constexpr int TRACE_POINTS = 2000;

class CBareWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent* /*pEvent*/) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        QPolygonF trace;
        trace.reserve(TRACE_POINTS);
        for (int i = 0; i < TRACE_POINTS; ++i) {
            const double dX = width() * static_cast<double>(i) / (TRACE_POINTS - 1);
            trace << QPointF(dX, height() / 2.0 * (1.0 + 0.8 * std::sin(i / 40.0)));
        }
        painter.setPen(QPen(Qt::cyan, 0));
        painter.drawPolyline(trace);
    }
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CBareWindow window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.move(WINDOW_X, WINDOW_Y);
    window.resize(WINDOW_WIDTH, WINDOW_HEIGHT);
    window.show();
    return QApplication::exec();
}
