#pragma once
// The virtual camera's port: a pseudo-terminal in raw mode. The master side is the
// camera; the slave path is what the controller opens. The slave is also held open here,
// so the master does not see a hang-up whenever the controller closes its side.
#include <string>

class PseudoTerminal
{
public:
    PseudoTerminal() = default;
    ~PseudoTerminal() { Close(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool Open();
    void Close();
    bool IsOpen() const { return m_master >= 0; }
    int Master() const { return m_master; }
    const std::string& SlavePath() const { return m_slavePath; }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
};
