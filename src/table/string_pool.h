#pragma once
// The per-table string pool. Cells hold 32-bit handles into it, so a cover code that occurs a million
// times is stored once and an empty cell costs nothing but its handle. Handle 0 is the empty string.
// Texts are never removed while the table lives; Clear starts afresh.

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
