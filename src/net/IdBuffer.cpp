#include "net/IdBuffer.h"

#include "net/IdException.h"
#include "net/IdResourceStrings.h"

#include <cstring>

namespace brinmor {

void TIdBuffer::SetSize(int size) {
    bytes_.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
}

void TIdBuffer::Append(const void* data, int count) {
    if (count <= 0)
        return;
    const auto* first = static_cast<const std::uint8_t*>(data);
    bytes_.insert(bytes_.end(), first, first + count);
}

void TIdBuffer::Clear() {
    std::vector<std::uint8_t>().swap(bytes_);
}

void TIdBuffer::RemoveBytes(int count) {
    if (count > Size())
        throw EIdException(RSNotEnoughDataInBuffer);
    if (count <= 0)
        return;
    if (count == Size()) {
        Clear();
        return;
    }
    std::memmove(bytes_.data(), bytes_.data() + count,
                 bytes_.size() - static_cast<std::size_t>(count));
    bytes_.resize(bytes_.size() - static_cast<std::size_t>(count));
}

} // namespace brinmor
