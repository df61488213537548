// Demo step: a selection of saved handles that follows the board's objects.
#include <ostream>

#include "SCC_SavedHandles.h"
#include "tessar_cli.h"

namespace {

constexpr long kNetType = 1;

// The host's net list: announces deletions (2), clears (6) and renumbering (7).
SCC_Notifier s_nets;

// A saved net: listens to the net list and follows its renumbering (+100 for every net).
class SavedNet : public SCC_HandleWithEvent {
public:
    SavedNet(SYS_Handle net, SCC_SavedHandles* set) : SCC_HandleWithEvent(net, kNetType, set) {}
    SCC_Notifier* GetChangeEvent() override { return &s_nets; }
    void OnUpdatePointers(void* /*info*/) override { SetHandle(GetHandle() + 100); }
};

class NetSelection : public SCC_SavedHandles {
protected:
    Entry CreateByType(SYS_Handle handle, long type) override {
        return type == kNetType ? Entry(new SavedNet(handle, this)) : Entry();
    }
};

void Print(std::ostream& out, const char* what, const SCC_SavedHandles& set) {
    out << "  " << what << ":";
    for (long i = 0; i < set.GetSize(); ++i) out << " " << set.GetAt(i)->GetHandle();
    out << "\n";
}

void ShowSavedHandles(std::ostream& out) {
    NetSelection selection;
    for (SYS_Handle net : {12, 5, 40, 5}) selection.Save(net, kNetType);
    Print(out, "saved nets 12, 5, 40, 5", selection);
    s_nets.Notify(SCC_NotifyDeleting, SCC_Notifier::ValueAsData(40));
    Print(out, "net 40 deleted on the board", selection);
    s_nets.Notify(SCC_NotifyBlock, nullptr);
    Print(out, "nets renumbered by +100", selection);
    out << "  net 112 is " << (selection.Find(112, kNetType, nullptr).IsNull() ? "not " : "")
        << "in the selection\n";
    s_nets.Notify(SCC_NotifyCleared, nullptr);
    Print(out, "board cleared", selection);
}

const TessarDemoRegistrar kStep({35, "Saved handles: a selection that follows the board",
                                 ShowSavedHandles});

}  // namespace
