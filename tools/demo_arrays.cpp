// Demo step: a copy-on-write array, its comparator and an iterator that follows edits.
#include <ostream>

#include "SCC_Array.h"
#include "tessar_cli.h"

namespace {

void Print(std::ostream& out, const char* label, const SCC_Array<int>& array) {
    out << "  " << label << ":";
    for (long i = 0; i < array.GetSize(); ++i) out << " " << array[i];
    out << "\n";
}

void ShowArrays(std::ostream& out) {
    SCC_SortableArray<int> layers(new SCC_Comparator<int>);
    for (int layer : {12, 3, 7, 1, 7}) layers.Add(layer);
    out << "A sorted array keeps its order as elements are added:\n";
    Print(out, "layers", layers);
    SCC_Array<int> copy(layers);
    out << "A copy shares the buffer until one side writes (shared: "
        << (copy.GetBuffer() == layers.GetBuffer() ? "yes" : "no") << ").\n";
    copy.SetAt(0, 99);
    Print(out, "copy after a write", copy);
    Print(out, "original", layers);
    SCC_ArrayIterator<int> focus(layers, 4);
    out << "An iterator on element " << *focus << " follows inserts and deletes:\n";
    layers.Add(0);
    layers.RemoveAt(1);
    Print(out, "layers", layers);
    out << "  the iterator still reads " << *focus << " (now at index " << focus.GetFocus()
        << ")\n";
}

const TessarDemoRegistrar kStep({40, "Arrays: sorted, copy-on-write, followed by iterators",
                                 ShowArrays});

}  // namespace
