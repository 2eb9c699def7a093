#include "ui/FileDrop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

std::string DroppedDayFile(const QMimeData* pData) {
    if (pData == nullptr || !pData->hasUrls()) {
        return {};
    }
    for (const QUrl& url : pData->urls()) {
        const QString strPath = url.toLocalFile();
        if (!strPath.isEmpty() && strPath.endsWith(QLatin1String(".vks"), Qt::CaseInsensitive)) {
            return strPath.toStdString();
        }
    }
    return {};
}

CFileDrop::CFileDrop(QWidget* pWindow, std::function<void(const std::string&)> onDrop)
    : QObject(pWindow), m_onDrop(std::move(onDrop)) {
    pWindow->setAcceptDrops(true);
    pWindow->installEventFilter(this);
}

bool CFileDrop::eventFilter(QObject* pWatched, QEvent* pEvent) {
    switch (pEvent->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* pDrag = static_cast<QDropEvent*>(pEvent);
        if (DroppedDayFile(pDrag->mimeData()).empty()) {
            pDrag->ignore();
        } else {
            pDrag->acceptProposedAction();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* pDrop = static_cast<QDropEvent*>(pEvent);
        const std::string strPath = DroppedDayFile(pDrop->mimeData());
        if (strPath.empty()) {
            pDrop->ignore();
            return true;
        }
        pDrop->acceptProposedAction();
        // Opened once the drop is over: the file manager is not kept waiting for the load, nor
        // for a message box should the file not open.
        QTimer::singleShot(0, pWatched, [this, strPath] { m_onDrop(strPath); });
        return true;
    }
    default:
        return QObject::eventFilter(pWatched, pEvent);
    }
}
