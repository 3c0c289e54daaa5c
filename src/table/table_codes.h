#pragma once
// The letters and numbers by which the table code names parts of the table and file layouts. The values
// are the ones stored in settings, recordings and catalogue texts, so they never change.

namespace tav {

// A part of the table, or what a clip or an operation works on.
enum class Area : char {
    Header = 'K',   // header rows (index list IrowK, marking set MroK)
    Species = 'A',  // species rows (IrowA, MroA)
    Columns = 'C',  // whole columns (Icol)
    Range = 'R',    // a rectangle of cells
};

constexpr char areaCode(Area a) {
    return static_cast<char>(a);
}

// The layouts the readers and writers know.
enum class Layout : int {
    Native = 1,
    Normal = 3,
    Transposed = 4,
    Append = 5,  // native, appended below the table
    Observations = 20,
    TransposedHeader = 21,
};

// Readers and writers take the layout as the number users and recordings give.
inline constexpr int kLayoutNative = static_cast<int>(Layout::Native);
inline constexpr int kLayoutNormal = static_cast<int>(Layout::Normal);
inline constexpr int kLayoutTransposed = static_cast<int>(Layout::Transposed);
inline constexpr int kLayoutAppend = static_cast<int>(Layout::Append);
inline constexpr int kLayoutObservations = static_cast<int>(Layout::Observations);
inline constexpr int kLayoutTransposedHeader = static_cast<int>(Layout::TransposedHeader);

}  // namespace tav
