// The game never has D-Bus launch a session bus at start-up, and never hides
// a session's own bus from SDL (its input methods and screen saver
// inhibition go through it): only with neither an address nor the runtime
// folder's bus socket is the address set to one that fails at once.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/window.h"

namespace corsavel {
namespace {

class SessionBus : public ::testing::Test {
protected:
    void SetUp() override {
        save("DBUS_SESSION_BUS_ADDRESS", &address_, &hadAddress_);
        save("XDG_RUNTIME_DIR", &runtime_, &hadRuntime_);
        char pattern[] = "/tmp/corsavel-bus-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override {
        restore("DBUS_SESSION_BUS_ADDRESS", address_, hadAddress_);
        restore("XDG_RUNTIME_DIR", runtime_, hadRuntime_);
        unlink((folder_ + "/bus").c_str());
        rmdir(folder_.c_str());
    }
    static void save(const char* name, std::string* value, bool* had) {
        const char* current = std::getenv(name);
        *had = current != nullptr;
        *value = current != nullptr ? current : "";
    }
    static void restore(const char* name, const std::string& value, bool had) {
        if (had) {
            setenv(name, value.c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    // A listening socket at the runtime folder's "bus", as a session's bus
    // daemon leaves it.
    int bindBusSocket() {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = folder_ + "/bus";
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        return fd;
    }
    static std::string address() {
        const char* value = std::getenv("DBUS_SESSION_BUS_ADDRESS");
        return value != nullptr ? value : "(unset)";
    }

    std::string folder_;
    std::string address_;
    std::string runtime_;
    bool hadAddress_ = false;
    bool hadRuntime_ = false;
};

TEST_F(SessionBus, NoBusAnywhereGetsAnAddressThatLaunchesNothing) {
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    unsetenv("XDG_RUNTIME_DIR");
    keepSessionBusUnlaunched();
    EXPECT_EQ(address(), "disabled:");

    // An empty address is no address; a runtime folder without a bus socket
    // (or with a plain file there) has no bus.
    setenv("DBUS_SESSION_BUS_ADDRESS", "", 1);
    setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
    keepSessionBusUnlaunched();
    EXPECT_EQ(address(), "disabled:");
    FILE* file = std::fopen((folder_ + "/bus").c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    keepSessionBusUnlaunched();
    EXPECT_EQ(address(), "disabled:");
}

TEST_F(SessionBus, ASessionsBusIsLeftForSdlToFind) {
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/run/user/1000/bus", 1);
    keepSessionBusUnlaunched();
    EXPECT_EQ(address(), "unix:path=/run/user/1000/bus");

    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
    const int fd = bindBusSocket();
    keepSessionBusUnlaunched();
    EXPECT_EQ(address(), "(unset)") << "the runtime folder's bus was hidden";
    close(fd);
}

}  // namespace
}  // namespace corsavel
