#pragma once

// The road of one event through an observable collection, as a host application walks it:
//   1. the data source (the parts of a board) notifies its SCC_Notifier;
//   2. the collection (the top-side parts, sorted by name) runs the handle through its filter,
//      inserts it at its sorted place, and announces the change on its own change event;
//   3. a view, hooked on that event, prints what it heard.
// The parts' addresses are their handles. The code is header-only so that both the example
// program and the `tessar demo` step run it.

#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "SCC_StdCollection.h"
#include "SYS_Filter.h"

namespace collection_road {

struct Part {
    std::string name;
    bool onTop;
};

inline Part& PartOf(SYS_Handle handle) { return *reinterpret_cast<Part*>(handle); }
inline SYS_Handle HandleOf(Part& part) { return reinterpret_cast<SYS_Handle>(&part); }

// The host's data: it owns the parts and tells its notifier about every change.
class Board {
public:
    SYS_Handle Add(const char* name, bool onTop) {
        m_parts.push_back(std::make_unique<Part>(Part{name, onTop}));
        SYS_Handle handle = HandleOf(*m_parts.back());
        changed.Notify(SCC_NotifyInserted, SCC_Notifier::ValueAsData(handle));
        return handle;
    }
    void Rename(SYS_Handle handle, const char* name) {
        PartOf(handle).name = name;
        changed.Notify(SCC_NotifyChanged, SCC_Notifier::ValueAsData(handle));
    }
    void Flip(SYS_Handle handle) {
        PartOf(handle).onTop = !PartOf(handle).onTop;
        changed.Notify(SCC_NotifyChanged, SCC_Notifier::ValueAsData(handle));
    }
    void Remove(SYS_Handle handle) {
        changed.Notify(SCC_NotifyDeleting, SCC_Notifier::ValueAsData(handle));
        for (size_t i = 0; i < m_parts.size(); ++i)
            if (m_parts[i].get() == &PartOf(handle)) m_parts.erase(m_parts.begin() + i);
    }
    size_t Count() const { return m_parts.size(); }
    SYS_Handle At(size_t i) const { return HandleOf(*m_parts[i]); }

    SCC_Notifier changed;

private:
    std::vector<std::unique_ptr<Part>> m_parts;
};

// A collection over the board: it only has to walk the board with its slider.
class PartList : public SCC_StdCollection {
public:
    explicit PartList(Board& board) : m_board(board), m_slider(0) { SetEvent(&board.changed); }

    SYS_Handle _GetSlider() override { return m_slider < m_board.Count() ? m_board.At(m_slider) : 0; }
    void _SetSlider(SYS_Handle handle) override {
        m_slider = m_board.Count();
        for (size_t i = 0; i < m_board.Count(); ++i)
            if (m_board.At(i) == handle) m_slider = i;
    }
    int _GetFirst() override { return (m_slider = 0) < m_board.Count(); }
    int _GetNext() override {
        m_slider = m_slider < m_board.Count() ? m_slider + 1 : 0;  // from "none": the first
        return m_slider < m_board.Count();
    }

private:
    Board& m_board;
    size_t m_slider;
};

class TopSideOnly : public SYS_Filter {
public:
    int IsTrue(SYS_Handle handle) override { return PartOf(handle).onTop; }
};

inline int ByName(const SYS_Handle& a, const SYS_Handle& b) {
    int order = std::strcmp(PartOf(a).name.c_str(), PartOf(b).name.c_str());
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

// The view: hooked on the collection's change event, it prints what it hears.
class PartView {
public:
    PartView(PartList& list, std::ostream& out)
        : m_list(list), m_out(out), m_hook(this, &PartView::OnListChanged, 0) {
        list.SetNotificationHandler(&m_hook);
    }
    int OnListChanged(int code, int* data) {
        SYS_Handle handle = SCC_Notifier::DataAsValue(data);
        switch (code) {
        case SCC_NotifyInserted:
            m_out << "  view: inserted " << Name(handle) << " at " << Where(handle);
            break;
        case SCC_NotifyDeleting:
            m_out << "  view: deleting " << Name(handle) << " from " << Where(handle);
            break;
        case SCC_NotifyChanged: m_out << "  view: changed " << Name(handle); break;
        case SCC_NotifyFocusAdded: m_out << "  view: focused " << Name(handle); break;
        case SCC_NotifyReset: m_out << "  view: reloaded"; break;
        case SCC_NotifyBeginBulk: m_out << "  view: a bulk change begins"; break;
        case SCC_NotifyEndBulk: m_out << "  view: the bulk change ended"; break;
        default: m_out << "  view: code " << code; break;
        }
        m_out << "  ->" << Content() << "\n";
        return 0;
    }
    std::string Content() const {
        std::string text;
        for (long i = 0; i < m_list.GetSize(); ++i) text += " " + PartOf(m_list.GetAt(i)).name;
        return text;
    }

private:
    static const std::string& Name(SYS_Handle handle) { return PartOf(handle).name; }
    long Where(SYS_Handle handle) const { return m_list.GetPositionByHandle(handle); }

    PartList& m_list;
    std::ostream& m_out;
    SCC_ObjectEventHook<PartView, int> m_hook;
};

inline void Run(std::ostream& out) {
    Board board;
    board.Add("R1", true);
    board.Add("C3", false);
    SYS_Handle u2 = board.Add("U2", true);

    TopSideOnly topSide;  // outlives the list that holds it
    PartList list(board);
    list.SetFilter(&topSide);
    list.SetSort(&ByName, 0);
    list.AllowReload(1);
    PartView view(list, out);
    out << "The top-side parts, sorted by name:" << view.Content() << "\n";

    out << "The board gains C1 on top (the source notifies 1):\n";
    SYS_Handle c1 = board.Add("C1", true);
    out << "The board gains D5 on the bottom: the filter keeps it out, the view hears nothing.\n";
    board.Add("D5", false);
    out << "U2 is renamed A9 (3): it moves, announced as a deletion and an insert:\n";
    board.Rename(u2, "A9");
    out << "C1 is flipped to the bottom (3): it leaves the list:\n";
    board.Flip(c1);
    out << "The user focuses R1:\n";
    list.SetFocus(list.GetAt(list.GetSize() - 1), 0);
    out << "A bulk change (9 ... 10): the list waits, then replays what it queued:\n";
    board.changed.Notify(SCC_NotifyBeginBulk, nullptr);
    board.Add("Q7", true);
    board.Add("B2", true);
    board.changed.Notify(SCC_NotifyEndBulk, nullptr);
    out << "A9 is removed (2, sent before it goes):\n";
    board.Remove(u2);
}

}  // namespace collection_road
