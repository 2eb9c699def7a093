#include "platform/ModalSeam.h"

#include <QGuiApplication>

#include <iostream>
#include <utility>

namespace {
ModalHook& InstalledHook() {
    static ModalHook s_hook;
    return s_hook;
}
} // namespace

ModalHook SetModalHook(ModalHook hook) {
    return std::exchange(InstalledHook(), std::move(hook));
}

std::optional<CModalAnswer> AskModalHook(const CModalRequest& request) {
    // A copy, so a hook that replaces itself while it runs stays alive until it returns.
    const ModalHook hook = InstalledHook();
    if (!hook) {
        return std::nullopt;
    }
    return hook(request);
}

bool RefuseUnansweredModal(const CModalRequest& request) {
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        return false;
    }
    std::cerr << "quillon: " << ModalKindName(request.eKind) << " \"" << request.strTitle
              << "\" refused: no one can answer a modal dialog on the offscreen platform\n";
    return true;
}

const char* ModalKindName(EModalKind eKind) {
    switch (eKind) {
    case EModalKind::MessageBox:
        return "message box";
    case EModalKind::FileDialog:
        return "file dialog";
    case EModalKind::PrintDialog:
        return "print dialog";
    case EModalKind::Dialog:
        return "dialog";
    case EModalKind::Input:
        return "input form";
    case EModalKind::PrintPreview:
        return "print preview";
    }
    return "dialog";
}
