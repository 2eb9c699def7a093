// Writes what the X server's screen shows now to a PNG: the test's eye on a real display.
//   screen_grab OUT.png   (DISPLAY names the server)

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    QScreen* pScreen = QGuiApplication::primaryScreen();
    return pScreen != nullptr && pScreen->grabWindow(0).save(QString::fromLocal8Bit(argv[1])) ? 0
                                                                                              : 1;
}
