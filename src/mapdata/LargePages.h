#pragma once

#include <cstddef>

// Memory that a reader is about to fill, such as the text and the records of a large map
// file: the system is asked to back it with large pages. Touching fresh memory page by page
// costs a fault per 4 KB, which on some machines takes longer than reading the file; a
// large page takes one fault per 2 MB. Small buffers are left alone (a large page would
// waste more than they hold), as is every system without such advice.
void adviseLargePages(const void* begin, std::size_t bytes);

// The same for the room a reserve made behind a container's elements.
template <typename Container>
void adviseLargePagesForSpare(const Container& container)
{
    adviseLargePages(container.data() + container.size(),
                     (container.capacity() - container.size()) * sizeof(*container.data()));
}
