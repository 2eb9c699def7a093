#include "platform/Resources.h"

#include "res/Resource.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace {

QPixmap RenderSvg(const QString& strPath, int nSize) {
    QSvgRenderer renderer(strPath);
    QPixmap pixmap(nSize, nSize);
    pixmap.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        renderer.render(&painter);
    }
    return pixmap;
}

QIcon* BuildMainIcon() {
    auto* pIcon = new QIcon;
    pIcon->addPixmap(RenderSvg(QStringLiteral(":/quillon/icons/quillon-16.svg"), 16));
    // What title bars, task bars and window switchers ask of a window. Every size is rendered and
    // handed to the window system at start-up; the large places take the installed scalable icon.
    for (int nSize : {32, 48, 64}) {
        pIcon->addPixmap(RenderSvg(QStringLiteral(":/quillon/icons/quillon.svg"), nSize));
    }
    return pIcon;
}

} // namespace

HICON LoadIcon(UINT nId) {
    if (nId != IDR_MAINFRAME || QGuiApplication::instance() == nullptr) {
        return nullptr;
    }
    // The resources live in a static library; make sure the linker keeps them.
    static const bool s_bResources = [] {
        Q_INIT_RESOURCE(quillon);
        return true;
    }();
    (void)s_bResources;
    // Kept for the whole run, like a loaded resource; never freed, so that no pixmap outlives
    // the application object.
    static const QIcon* s_pMainIcon = BuildMainIcon();
    return s_pMainIcon;
}
