#include "SFM_TR.h"

#include "PLT_Debug.h"
#include "PLT_StringTable.h"
#include "SCC_Map.h"

namespace {

const long kCacheTableSize = 53;
const int kLoadBufferSize = 1000;

typedef SCC_Map<int, SYS_String> NumberCache;
typedef SCC_Map<SYS_String, SYS_String> TextCache;

// Created on first use, destroyed at unload (SFM_DestroyTextCaches).
NumberCache* s_numberCache = nullptr;
TextCache* s_textCache = nullptr;

// The text of `id` from the registered string tables; empty when none holds it.
SYS_String LoadText(int id) {
    char buffer[kLoadBufferSize];
    const int length = PLT_LoadString(id, buffer, kLoadBufferSize);
    return length > 0 ? SYS_String(buffer, length) : SYS_String();
}

// Both caches come into being together, on the first lookup of either kind.
void CreateCaches() {
    s_numberCache = new NumberCache(kCacheTableSize);
    s_textCache = new TextCache(kCacheTableSize);
    PLT_TraceLifetime("+text caches");
}

}  // namespace

SYS_String TR(int id) {
    if (s_numberCache == nullptr) CreateCaches();
    if (const SYS_String* cached = s_numberCache->Lookup(id)) return *cached;
    // The entry is kept whatever the tables hold, so a missing text is never looked up again.
    SYS_String text = LoadText(id);
    s_numberCache->Add(id, text);
    return text;
}

SYS_String TR(const char* text) {
    if (s_textCache == nullptr) CreateCaches();
    const SYS_String key(text);
    if (const SYS_String* cached = s_textCache->Lookup(key)) return *cached;
    s_textCache->Add(key, key);
    return key;
}

void SFM_DestroyTextCaches() {
    if (s_textCache != nullptr) PLT_TraceLifetime("-text caches");
    delete s_textCache;
    s_textCache = nullptr;
    delete s_numberCache;
    s_numberCache = nullptr;
}
