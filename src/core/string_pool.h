#pragma once
// A pool of distinct texts, each stored once and known by a 32-bit handle; handle 0 is the empty text.
// Table cells and the string columns of record sets hold handles into their own pool, so a cover code
// that occurs a million times, or a genus shared by a thousand records, is stored once and a cell costs
// nothing but its handle. Texts are never removed while the pool lives, and a text's view stays valid
// until clear(), also across later interning; clear() starts afresh.

#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tav {

using TextHandle = std::uint32_t;

class StringPool {
  public:
    StringPool();
    StringPool(const StringPool&) = delete;
    StringPool& operator=(const StringPool&) = delete;
    StringPool(StringPool&&) noexcept = default;
    StringPool& operator=(StringPool&&) noexcept = default;

    TextHandle intern(std::string_view text);
    std::string_view text(TextHandle h) const { return texts_[h]; }
    std::size_t size() const { return texts_.size(); }
    void clear();

  private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept;
    };
    std::string_view store(std::string_view text);

    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t blockUsed_ = 0;
    std::size_t blockSize_ = 0;
    std::vector<std::string_view> texts_;
    std::unordered_map<std::string_view, TextHandle, Hash, std::equal_to<>> index_;
};

}  // namespace tav
