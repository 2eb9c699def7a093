#include "platform/Resources.h"

#include "res/Resource.h"

std::string LoadString(UINT nId) {
    switch (nId) {
    case IDS_OLE_INIT_FAILED:
        return "OLE initialization failed.  Make sure that the OLE libraries are the correct "
               "version.";
    case IDS_ABOUTBOX:
        return "&About Quillon...";
    default:
        return {};
    }
}
