#include "host/HostQueries.h"

#include "host/HostRecords.h"

namespace tolva::host {

const char* askHostFolder(HWND mainWindow, LPARAM query) {
    if (!mainWindow)
        return nullptr;
    return reinterpret_cast<const char*>(SendMessageA(mainWindow, MessageQuery, 0, query));
}

} // namespace tolva::host
