#include "WithoutRoot.h"

#include <QtGlobal>

#include <grp.h>
#include <unistd.h>

namespace {

constexpr uid_t Nobody = 65534;

} // namespace

WithoutRoot::WithoutRoot()
{
    if (geteuid() != 0)
        return;
    m_groups.resize(getgroups(0, nullptr));
    getgroups(int(m_groups.size()), m_groups.data());
    if (setgroups(0, nullptr) != 0 || setegid(Nobody) != 0 || seteuid(Nobody) != 0)
        qFatal("cannot become the unprivileged user");
    m_dropped = true;
}

WithoutRoot::~WithoutRoot()
{
    if (m_dropped && (seteuid(0) != 0 || setegid(0) != 0 || setgroups(m_groups.size(), m_groups.data()) != 0))
        qFatal("cannot return to root");
}
