// Demo step: an observer at work on a notifier.
#include <ostream>

#include "SCC_Notifier.h"
#include "tessar_cli.h"

namespace {

std::ostream* s_out = nullptr;

class Board {
public:
    SCC_Notifier m_changed;
};

class Window {
public:
    explicit Window(const char* name, int priority)
        : m_name(name), m_hook(this, &Window::OnBoardChanged, priority) {}
    void Watch(Board& board) { AddHook(board.m_changed, m_hook); }
    int OnBoardChanged(int code, int* data) {
        *s_out << "  " << m_name << " got code " << code << " for handle "
               << SCC_Notifier::DataAsValue(data) << "\n";
        return 0;
    }

private:
    const char* m_name;
    SCC_ObjectEventHook<Window, int> m_hook;
};

void ShowObserver(std::ostream& out) {
    s_out = &out;
    Board board;
    Window layers("layer list", 1);
    Window view("board view", 5);
    layers.Watch(board);
    view.Watch(board);
    out << "Two windows hook the board's change event; higher priority is called first.\n";
    out << "The board inserts handle 42 (code 1):\n";
    board.m_changed.Notify(SCC_NotifyInserted, SCC_Notifier::ValueAsData(42));
    {
        Window status("status bar", 3);
        status.Watch(board);
        out << "A status bar joins for one change (code 3):\n";
        board.m_changed.Notify(SCC_NotifyChanged, SCC_Notifier::ValueAsData(7));
    }
    out << "The status bar is gone; its hook left the ring by itself (code 2):\n";
    board.m_changed.Notify(SCC_NotifyDeleting, SCC_Notifier::ValueAsData(42));
}

const TessarDemoRegistrar kStep({30, "Events: observers hooked on a notifier", ShowObserver});

}  // namespace
