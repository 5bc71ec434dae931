#pragma once

struct Controls;

// The board addresses offered in the host box: Add, Del and Save to terminal.ini.
class HostList {
public:
    explicit HostList(Controls& c) : c_(c) {}
    void connectControls();

    void Add_ip_Click();
    void Del_ip_Click();
    void SaveIP_Click();

private:
    Controls& c_;
};
