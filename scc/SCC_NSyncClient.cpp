#include "SCC_NSyncClient.h"

SCC_DEFAULT_NSyncClient::~SCC_DEFAULT_NSyncClient() { NotifyNodes(0, nullptr); }

// The base destructor tells the nodes; doing it here as well would tell them twice.
NSYNC_Client::~NSYNC_Client() = default;
