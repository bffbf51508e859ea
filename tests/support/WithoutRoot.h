#pragma once

#include <sys/types.h>

#include <vector>

// Root ignores file permissions; while this lives the test runs as the unprivileged user instead,
// with none of root's groups. Does nothing for a test that is not run as root.
class WithoutRoot
{
public:
    WithoutRoot();
    ~WithoutRoot();
    WithoutRoot(const WithoutRoot&) = delete;
    WithoutRoot& operator=(const WithoutRoot&) = delete;

private:
    bool m_dropped = false;
    std::vector<gid_t> m_groups;
};
