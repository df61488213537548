// The library's process-wide objects come and go in their documented order, observed from a
// program that loads the library with dlopen (through a module that uses it), uses it and
// unloads it again. The library reports each step to TessarLifetimeTrace, defined here.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::vector<std::string> s_events;
}  // namespace

extern "C" __attribute__((visibility("default"))) void TessarLifetimeTrace(const char* event) {
    s_events.push_back(event);
}

namespace {

bool LibraryIsLoaded() {
    void* handle = dlopen(TESSAR_LIBRARY_SONAME, RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) return false;
    dlclose(handle);
    return true;
}

TEST(LibraryLifetime, LoadUseAndUnloadFollowTheOrderOfTheProcessWideObjects) {
    ASSERT_FALSE(LibraryIsLoaded()) << "the test program must not link the library";
    void* user = dlopen(TESSAR_LIFETIME_USER, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, user) << dlerror();
    EXPECT_TRUE(LibraryIsLoaded());
    EXPECT_EQ((std::vector<std::string>{"+palette notifier", "+fresh-object registry",
                                        "+unit table", "+directory separators"}),
              s_events);

    s_events.clear();
    auto use = reinterpret_cast<int (*)()>(dlsym(user, "TessarLifetimeUse"));
    ASSERT_NE(nullptr, use) << dlerror();
    EXPECT_EQ(1, use());
    EXPECT_EQ((std::vector<std::string>{"+text caches", "+file manager"}), s_events);

    s_events.clear();
    ASSERT_EQ(0, dlclose(user)) << dlerror();
    EXPECT_FALSE(LibraryIsLoaded()) << "dlclose left the library loaded";
    EXPECT_EQ((std::vector<std::string>{"-directory separators", "-file manager", "-text caches",
                                        "-unit table", "-fresh-object registry",
                                        "-palette notifier"}),
              s_events);
}

}  // namespace
