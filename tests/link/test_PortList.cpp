// SPDX-License-Identifier: Apache-2.0
// The port list against a fake sysfs and /dev tree, and the published virtual ports.
#include "LinkTestUtil.h"
#include "PtyPair.h"
#include "untComm.h"
#include "untPortList.h"
#include "untPublishedPorts.h"
#include "untPublishedPortsIn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;
using Names = std::vector<std::string>;

namespace {

struct FakeTree {
    TempDir root;
    std::string sys = root.Path() + "/sys";
    std::string dev = root.Path() + "/dev";
    FakeTree() {
        mkdir(sys.c_str(), 0755);
        mkdir(dev.c_str(), 0755);
    }
    // A tty entry; `type` empty for none; `device` false for a virtual one.
    void Add(const std::string& name, bool device, const std::string& type, bool devNode) {
        const std::string entry = sys + "/" + name;
        mkdir(entry.c_str(), 0755);
        if (device)
            mkdir((entry + "/device").c_str(), 0755);
        if (!type.empty())
            std::ofstream(entry + "/type") << type << "\n";
        if (devNode)
            std::ofstream(dev + "/" + name) << "";
    }
    // As sysfs has them: the entry a link to the device's folder under devices/`parent`.
    void AddLinked(const std::string& name, const std::string& parent, bool device,
                   const std::string& type) {
        const std::string devices = root.Path() + "/devices";
        const std::string folder = devices + "/" + parent + "/" + name;
        std::filesystem::create_directories(folder);
        if (device)
            mkdir((folder + "/device").c_str(), 0755);
        if (!type.empty())
            std::ofstream(folder + "/type") << type << "\n";
        symlink(("../devices/" + parent + "/" + name).c_str(), (sys + "/" + name).c_str());
        std::ofstream(dev + "/" + name) << "";
    }
};

// Creates NAME and NAME.lock as a publisher that has died would leave them.
void LeaveDeadEntry(const std::string& folder, const std::string& name, const std::string& to) {
    symlink(to.c_str(), (folder + "/" + name).c_str());
    std::ofstream(folder + "/" + name + ".lock") << "";
}

} // namespace

TEST(PortList, MachinePortsSortedCaseInsensitivelyNotByNumber) {
    FakeTree tree;
    tree.Add("ttyS0", true, "4", true);
    tree.Add("ttyS1", true, "0", true); // fixed slot, no UART
    tree.Add("ttyS2", true, "4", true);
    tree.Add("ttyS10", true, "4", true);
    tree.Add("ttyS3", true, "", true);    // type unreadable: not vouched for
    tree.Add("tty0", false, "", true);    // virtual terminal
    tree.Add("ttyACM0", true, "", false); // no node under /dev
    tree.Add("ttyUSB0", true, "", true);
    tree.Add("Serial_B", true, "", true);
    tree.Add("rfcomm_a", true, "", true);
    tree.AddLinked("ttyS4", "platform/serial8250/tty", true, "4");
    tree.AddLinked("ttyS5", "platform/serial8250/tty", true, "0");
    tree.AddLinked("tty1", "virtual/tty", false, "");

    Names target = {"old"};
    ASSERT_TRUE(ListComPortsFrom(tree.sys, tree.dev, std::nullopt, target));
    EXPECT_EQ(target,
              (Names{"rfcomm_a", "Serial_B", "ttyS0", "ttyS10", "ttyS2", "ttyS4", "ttyUSB0"}));
}

TEST(PortList, UnreadableSourceLeavesTheListAndEmptySourceEmptiesIt) {
    FakeTree tree;
    Names target = {"COM1", "COM2"};
    EXPECT_FALSE(ListComPortsFrom(tree.root.Path() + "/missing", tree.dev, std::nullopt, target));
    std::ofstream(tree.root.Path() + "/file") << "";
    EXPECT_FALSE(ListComPortsFrom(tree.root.Path() + "/file", tree.dev, std::nullopt, target));
    EXPECT_EQ(target, (Names{"COM1", "COM2"}));
    EXPECT_TRUE(ListComPortsFrom(tree.sys, tree.dev, std::nullopt, target));
    EXPECT_TRUE(target.empty());
}

TEST(PortList, PublishedPortsJoinTheListWhileTheirPublisherLives) {
    FakeTree tree;
    tree.Add("ttyS0", true, "4", true);
    TempDir published;
    PtyPair pairA;
    PtyPair pairB;
    Names target;
    {
        TPortPublication alpha("alpha", pairA.SlavePath(), published.Path());
        TPortPublication dup("ttyS0", pairB.SlavePath(), published.Path());
        LeaveDeadEntry(published.Path(), "ghost", pairB.SlavePath());
        // A live lock whose link leads to no character device.
        TPortPublication notDevice("plainfile", tree.dev + "/ttyS0", published.Path());

        ASSERT_TRUE(ListComPortsFrom(tree.sys, tree.dev, published.Path(), target));
        EXPECT_EQ(target, (Names{"alpha", "ttyS0", "ttyS0"})); // duplicates kept
        EXPECT_EQ(ResolvePublishedPortIn(published.Path(), "alpha"), pairA.SlavePath());
        EXPECT_EQ(ResolvePublishedPortIn(published.Path(), "ghost"), std::nullopt);
        EXPECT_THROW(TPortPublication("alpha", pairB.SlavePath(), published.Path()),
                     std::runtime_error); // the name is held
        EXPECT_THROW(TPortPublication("../evil", pairB.SlavePath(), published.Path()),
                     std::runtime_error);
    }
    ASSERT_TRUE(ListComPortsFrom(tree.sys, tree.dev, published.Path(), target));
    EXPECT_EQ(target, (Names{"ttyS0"}));
    struct stat st {};
    EXPECT_NE(lstat((published.Path() + "/alpha").c_str(), &st), 0) << "link left behind";
    EXPECT_NE(lstat((published.Path() + "/alpha.lock").c_str(), &st), 0);

    // A dead publisher's leftovers do not keep the name from a new one.
    TPortPublication ghost("ghost", pairA.SlavePath(), published.Path());
    EXPECT_EQ(ResolvePublishedPortIn(published.Path(), "ghost"), pairA.SlavePath());
}

TEST(PortList, UnsafePublishedFoldersAreRefused) {
    TempDir base;
    PtyPair pair;
    const std::string good = base.Path() + "/good";
    ASSERT_TRUE(CheckPublishedPortsDir(good, true));
    struct stat st {};
    ASSERT_EQ(stat(good.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    TPortPublication live("live", pair.SlavePath(), good);
    EXPECT_EQ(ListPublishedPortsIn(good), Names{"live"});

    const std::string link = base.Path() + "/link";
    ASSERT_EQ(symlink(good.c_str(), link.c_str()), 0);
    EXPECT_FALSE(CheckPublishedPortsDir(link, true));
    EXPECT_TRUE(ListPublishedPortsIn(link).empty());
    EXPECT_EQ(ResolvePublishedPortIn(link, "live"), std::nullopt);
    EXPECT_THROW(TPortPublication("other", pair.SlavePath(), link), std::runtime_error);

    ASSERT_EQ(chmod(good.c_str(), 0750), 0);
    EXPECT_FALSE(CheckPublishedPortsDir(good, false));
    EXPECT_TRUE(ListPublishedPortsIn(good).empty());
    ASSERT_EQ(chmod(good.c_str(), 0700), 0);

    // Someone else's folder (root can hand it over to make the case).
    if (geteuid() == 0) {
        ASSERT_EQ(chown(good.c_str(), 65534, 65534), 0);
        EXPECT_FALSE(CheckPublishedPortsDir(good, false));
        EXPECT_TRUE(ListPublishedPortsIn(good).empty());
        ASSERT_EQ(chown(good.c_str(), geteuid(), getegid()), 0);
    }
    EXPECT_EQ(ListPublishedPortsIn(good), Names{"live"});
}

TEST(PortList, PublishedPortOpensByNameAndIsListed) {
    PtyPair pair;
    const std::string name = "vyltest" + std::to_string(getpid());
    Names ports;
    TCommConnection connection;
    {
        TPortPublication publication(name, pair.SlavePath());
        EXPECT_EQ(PortDevicePath(name), pair.SlavePath());
        ASSERT_TRUE(ListComPorts(ports));
        EXPECT_NE(std::find(ports.begin(), ports.end(), name), ports.end());
        ASSERT_TRUE(connection.Open(name, 9600)) << connection.LastOpenError().Text;
        EXPECT_EQ(connection.Send("via name"), COMM_OK);
        connection.Close();
        EXPECT_EQ(pair.Read(8, 1s), "via name");
    }
    EXPECT_EQ(PortDevicePath(name), "/dev/" + name);
    EXPECT_FALSE(connection.Open(name, 9600));
    ASSERT_TRUE(ListComPorts(ports));
    EXPECT_EQ(std::find(ports.begin(), ports.end(), name), ports.end());
    EXPECT_EQ(PortDevicePath(pair.PortName()), pair.SlavePath());
}
