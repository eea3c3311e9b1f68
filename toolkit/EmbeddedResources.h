// Pictures compiled into the library, for platforms without a resource section.
#pragma once

#include <cstddef>

struct EmbeddedResource {
    int id;
    const unsigned char* data;
    std::size_t size;
};

struct EmbeddedResourceTable {
    const EmbeddedResource* entries;
    std::size_t count;
};

// Defined by the library or program that carries the pictures (generated at build time).
const EmbeddedResourceTable& embeddedResources();
