#pragma once

#include "SCC_RefDList.h"
#include "TessarExport.h"

/// @file
/// Sync clients: objects that others reference through SCC_DListRefNode entries and that tell
/// every referencing node when they go away. The list side behaves as SCC_RefDList (copies
/// start empty, assignment keeps the target's nodes).

/// Destroying the client first calls NotifyNodes(0, 0), so each node still in the list hears
/// (0, null) once while the client's list is intact, then releases the nodes as SCC_RefDList
/// does. A node may leave the list, or be destroyed, during that call.
class TESSAR_EXPORT SCC_DEFAULT_NSyncClient : public SCC_RefDList {
public:
    SCC_DEFAULT_NSyncClient() = default;
    /// Copies start empty and assignment keeps the target's nodes, as for SCC_RefDList.
    ///@{
    SCC_DEFAULT_NSyncClient(SCC_DEFAULT_NSyncClient& other) : SCC_RefDList(other) {}
    SCC_DEFAULT_NSyncClient& operator=(SCC_DEFAULT_NSyncClient& other) {
    ///@}
        SCC_RefDList::operator=(other);
        return *this;
    }
    ~SCC_DEFAULT_NSyncClient() override;
};

/// The named client applications derive from. Its destruction tells the nodes through the base
/// alone, so every node hears of it exactly once.
class TESSAR_EXPORT NSYNC_Client : public SCC_DEFAULT_NSyncClient {
public:
    NSYNC_Client() = default;
    /// As SCC_DEFAULT_NSyncClient's copy and assignment.
    ///@{
    NSYNC_Client(NSYNC_Client& other) : SCC_DEFAULT_NSyncClient(other) {}
    NSYNC_Client& operator=(NSYNC_Client& other) {
    ///@}
        SCC_DEFAULT_NSyncClient::operator=(other);
        return *this;
    }
    ~NSYNC_Client() override;
};
