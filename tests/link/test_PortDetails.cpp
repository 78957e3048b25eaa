// SPDX-License-Identifier: Apache-2.0
// What a listed port's details say, read from a fake sysfs and /dev tree: USB adapters behind
// a serial driver's tty and behind a CDC interface, their stable by-id links, a built-in port,
// a published virtual port.

#include "PtyPair.h"
#include "TestSystem.h"
#include "untPortDetails.h"
#include "untPublishedPorts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void MakeDirs(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0755);
    mkdir(path.c_str(), 0755);
}

void Write(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

struct FakeMachine {
    TempDir root;
    std::string sys = root.Path() + "/sys/class/tty";
    std::string devices = root.Path() + "/sys/devices";
    std::string dev = root.Path() + "/dev";
    std::string byId = root.Path() + "/dev/serial/by-id";
    FakeMachine() {
        MakeDirs(sys);
        MakeDirs(byId);
    }
    // A tty whose device is `deviceDir` (made under sys/devices), with a node under /dev.
    void AddTty(const std::string& name, const std::string& deviceDir) {
        MakeDirs(sys + "/" + name);
        MakeDirs(devices + "/" + deviceDir);
        symlink((devices + "/" + deviceDir).c_str(), (sys + "/" + name + "/device").c_str());
        Write(dev + "/" + name, "");
    }
    void AddUsbDevice(const std::string& dir, const std::string& vendor, const std::string& product,
                      const std::string& manufacturer, const std::string& productText) {
        const std::string at = devices + "/" + dir;
        MakeDirs(at);
        Write(at + "/idVendor", vendor + "\n");
        Write(at + "/idProduct", product + "\n");
        if (!manufacturer.empty())
            Write(at + "/manufacturer", manufacturer + "\n");
        Write(at + "/product", productText + "\n");
    }
    TPortDetails Details(const std::string& name,
                         const std::optional<std::string>& published = std::nullopt) const {
        return PortDetailsFrom(name, sys, dev, byId, published);
    }
};

} // namespace

TEST(PortDetails, UsbAdaptersBuiltInAndVirtualPorts) {
    FakeMachine m;
    // A USB serial driver: the tty sits below the interface, the ids on the device above it.
    m.AddUsbDevice("pci0/usb1/1-1", "0403", "6001", "FTDI", "FT232R USB UART");
    m.AddTty("ttyUSB0", "pci0/usb1/1-1/1-1:1.0/ttyUSB0");
    ASSERT_EQ(symlink("../../ttyUSB0", (m.byId + "/usb-FTDI_FT232R_A1-if00-port0").c_str()), 0);
    // A CDC device: the interface itself is the tty's device; no manufacturer text.
    m.AddUsbDevice("pci0/usb1/1-2", "2341", "0043", "", "Uno");
    m.AddTty("ttyACM0", "pci0/usb1/1-2/1-2:1.0");
    // A link to another device does not count.
    ASSERT_EQ(symlink("../../ttyACM1", (m.byId + "/usb-Other-if00").c_str()), 0);
    // A built-in UART: no USB device anywhere above it.
    m.AddTty("ttyS0", "pnp0/00:04");

    const struct {
        const char* Name;
        const char* Stable; // under by-id, "" for none
        const char* UsbId;
        const char* Manufacturer;
        const char* Product;
    } cases[] = {
        {"ttyUSB0", "usb-FTDI_FT232R_A1-if00-port0", "0403:6001", "FTDI", "FT232R USB UART"},
        {"ttyACM0", "", "2341:0043", "", "Uno"},
        {"ttyS0", "", "", "", ""},
    };
    for (const auto& c : cases) {
        const TPortDetails d = m.Details(c.Name);
        EXPECT_EQ(d.Name, c.Name);
        EXPECT_EQ(d.DevicePath, m.dev + "/" + c.Name);
        EXPECT_EQ(d.StablePath, *c.Stable ? m.byId + "/" + c.Stable : "") << c.Name;
        EXPECT_EQ(d.UsbId, c.UsbId) << c.Name;
        EXPECT_EQ(d.Manufacturer, c.Manufacturer) << c.Name;
        EXPECT_EQ(d.Product, c.Product) << c.Name;
        EXPECT_FALSE(d.Virtual);
    }

    // A published port: its pty behind it, marked virtual; a name that is nowhere stays bare.
    TempDir published;
    PtyPair pair;
    TPortPublication publication("Desk", pair.SlavePath(), published.Path());
    const TPortDetails desk = m.Details("Desk", published.Path());
    EXPECT_TRUE(desk.Virtual);
    EXPECT_EQ(desk.DevicePath, pair.SlavePath());
    EXPECT_EQ(desk.UsbId, "");
    const TPortDetails gone = m.Details("Gone", published.Path());
    EXPECT_FALSE(gone.Virtual);
    EXPECT_EQ(gone.DevicePath, "");
}
