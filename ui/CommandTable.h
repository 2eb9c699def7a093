#pragma once
// CCommandTable: the main window's one table from command numbers (menu items, accelerators,
// buttons) to their handlers. The window enters its own commands; the parts it hosts (the
// explorer, and whatever else offers commands) enter theirs in the same table, so a number has
// one handler wherever it is handled.

#include "platform/WinTypes.h"

#include <functional>
#include <unordered_map>

class CCommandTable {
public:
    using Handler = std::function<void()>;

    // A number has one handler: a later entry for the same number replaces it.
    void Add(UINT nID, Handler fnHandler) { m_handlers[nID] = std::move(fnHandler); }
    // Runs the handler of nID; false when the table has none.
    bool Run(UINT nID) const {
        const auto it = m_handlers.find(nID);
        if (it == m_handlers.end()) {
            return false;
        }
        it->second();
        return true;
    }

private:
    std::unordered_map<UINT, Handler> m_handlers;
};
