// Pictures compiled into the library.
#include "EmbeddedResources.h"
#include "PictureStore.h"

ResourceBytes findPictureResource(int id) {
    const EmbeddedResourceTable& table = embeddedResources();
    for (std::size_t i = 0; i < table.count; ++i) {
        if (table.entries[i].id == id) {
            return {table.entries[i].data, table.entries[i].size};
        }
    }
    return {};
}
