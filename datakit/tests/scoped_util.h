#pragma once
// Test helpers that leave nothing behind: a temporary folder of the test's own, and a
// process-wide ANSI code page that is put back when the scope ends, even when an
// assertion leaves the test early.

#include <string>

// A new, empty folder under $TMPDIR (else /tmp), made by mkdtemp, and removed with
// everything in it when the object goes. Path() is empty when no folder could be made;
// callers assert on that instead of writing to a shared place.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::string &Path() const { return m_path; }

private:
    std::string m_path;
};

// Sets corekit's ANSI code page for the scope and restores the one before it.
class AnsiCodePageScope
{
public:
    explicit AnsiCodePageScope(const char *name);
    ~AnsiCodePageScope();
    AnsiCodePageScope(const AnsiCodePageScope &) = delete;
    AnsiCodePageScope &operator=(const AnsiCodePageScope &) = delete;

    // Whether the code page was set (iconv knows the name).
    bool Ok() const { return m_ok; }

private:
    std::string m_previous;
    bool m_ok = false;
};
