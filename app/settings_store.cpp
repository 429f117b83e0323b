#include "app/settings_store.h"

#include <string>

std::string RecentDocumentValueName(int index) {
    return "Document" + std::to_string(index);
}
