#include "NavigationList.h"

#include "OVNavigationBar.h"

qint32 NavigationList::idAt(int position) const
{
    return position > 0 && position < m_ids.size() ? m_ids.at(position) : 0;
}

QString NavigationList::joinedIds() const
{
    QStringList parts;
    parts.reserve(count());
    for (int i = 1; i < m_ids.size(); ++i)
        parts << QString::number(m_ids.at(i));
    return parts.join(QLatin1Char(','));
}

int NavigationList::candidate(int operation) const
{
    const int n = count();
    const int p = m_position;
    switch (operation) {
    case OVNavigationBar::ovNBFirst: return n > 0 ? 1 : 0;
    case OVNavigationBar::ovNBPrev: return p > 1 ? p - 1 : 0;
    case OVNavigationBar::ovNBNext: return p < n ? p + 1 : 0;
    case OVNavigationBar::ovNBLast: return n > 0 ? n : 0;
    case OVNavigationBar::ovNBDelete: return p;
    default: return 0;
    }
}

void NavigationList::selectTarget(const ExistCheck &check)
{
    // One flag for the whole move: the host answers every candidate.
    bool cancel = false;
    for (;;) {
        const int target = candidate(m_operation);
        if (target == 0) {
            m_position = 0;
            return;
        }
        check(m_ids.at(target), cancel);
        if (!cancel) {
            m_position = target;
            return;
        }
        // Each refusal shortens the list, so the search ends.
        removeAt(target);
    }
}

void NavigationList::removeAt(int k)
{
    const int n = count();
    if (k <= 0 || k > n)
        return;
    m_ids.removeAt(k);
    if (k < m_position)
        --m_position;
    else if (k == n && k == m_position)
        m_position = 0;
}

void NavigationList::findOrAppend(qint32 id)
{
    const qsizetype found = m_ids.indexOf(id, 1);
    if (found > 0) {
        m_position = int(found);
    } else {
        m_ids.append(id);
        m_position = count();
    }
}

void NavigationList::press(int index, const ExistCheck &check)
{
    m_operation = index;
    selectTarget(check);
}

bool NavigationList::navigate(int flag, qint32 inputId, const ExistCheck &check)
{
    m_operation = flag;
    m_inputId = inputId;
    switch (flag) {
    case OVNavigationBar::ovNBSave:
        findOrAppend(inputId);
        return false;
    case OVNavigationBar::ovNBCopy:
        m_position = 0;
        return false;
    case OVNavigationBar::ovNBNew:
        m_position = 0;
        return true;
    case OVNavigationBar::ovNBDelete:
        removeAt(m_position);
        selectTarget(check);
        return true;
    case OVNavigationBar::ovNBQuery:
        findOrAppend(inputId);
        return true;
    default:
        return false;
    }
}

NavigationList::Display NavigationList::display() const
{
    const int n = count();
    const int p = m_position;
    const QString of = QStringLiteral(" / ") + QString::number(n);
    if (p > 0)
        return {QString::number(p) + of, p > 1, p > 1, p < n, p < n};
    return {QStringLiteral("*") + of, n > 0, false, false, n > 0};
}
