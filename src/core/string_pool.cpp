#include "core/string_pool.h"

#include <cstring>

namespace tav {

namespace {
constexpr std::size_t kBlockSize = 64 * 1024;
}

std::size_t StringPool::Hash::operator()(std::string_view s) const noexcept {
    // FNV-1a: cell texts are short, and this beats the library hash on them.
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
    return static_cast<std::size_t>(h ^ (h >> 29));
}

StringPool::StringPool() {
    clear();
}

void StringPool::clear() {
    blocks_.clear();
    blockUsed_ = 0;
    blockSize_ = 0;
    texts_.assign(1, std::string_view());
    index_.clear();
    index_.emplace(std::string_view(), 0);
}

std::string_view StringPool::store(std::string_view text) {
    if (text.size() > blockSize_ - blockUsed_) {
        std::size_t size = text.size() > kBlockSize / 4 ? text.size() : kBlockSize;
        blocks_.push_back(std::make_unique<char[]>(size));
        blockSize_ = size;
        blockUsed_ = 0;
    }
    char* at = blocks_.back().get() + blockUsed_;
    std::memcpy(at, text.data(), text.size());
    blockUsed_ += text.size();
    return {at, text.size()};
}

TextHandle StringPool::intern(std::string_view text) {
    if (auto it = index_.find(text); it != index_.end()) return it->second;
    std::string_view kept = store(text);
    auto h = static_cast<TextHandle>(texts_.size());
    texts_.push_back(kept);
    index_.emplace(kept, h);
    return h;
}

}  // namespace tav
