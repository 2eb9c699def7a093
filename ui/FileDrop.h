#pragma once
// CFileDrop: a .vks file dragged from a file manager and dropped on the window opens there. Only
// a drag that carries a local file whose name ends in .vks (any case) is accepted, so the pointer
// says at once whether the drop will do anything; of several files the first such one opens.

#include <QObject>

#include <functional>
#include <string>

class QMimeData;
class QWidget;

// The first local *.vks file the data names, or empty.
[[nodiscard]] std::string DroppedDayFile(const QMimeData* pData);

class CFileDrop : public QObject {
public:
    // Makes pWindow take drops; onDrop opens the file.
    CFileDrop(QWidget* pWindow, std::function<void(const std::string&)> onDrop);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    std::function<void(const std::string&)> m_onDrop;
};
