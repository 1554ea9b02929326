#pragma once
#include <QObject>
#include <QString>
#include <map>

// A group of like controls addressed by index, so that code reads
// Command1(13)->setText(...) and one handler can serve the whole group.
template <typename T>
class ControlArray {
public:
    T *operator()(int index) const
    {
        auto it = items.find(index);
        return it == items.end() ? nullptr : it->second;
    }
    void set(int index, T *control) { items[index] = control; }
    // The index of a control of this group, or -1.
    int indexOf(const QObject *control) const
    {
        for (const auto &[i, c] : items)
            if (c == control)
                return i;
        return -1;
    }
    auto begin() const { return items.begin(); }
    auto end() const { return items.end(); }
    int size() const { return int(items.size()); }

private:
    std::map<int, T *> items;
};
