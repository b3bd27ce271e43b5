// TElPlayerMan owns a collection of players; the main window drives the first one.
#pragma once

#include <QObject>
#include <vector>

#include "player.h"

class TElPlayerMan;

class TElPlayers : public QObject {
    Q_OBJECT
public:
    explicit TElPlayers(TElPlayerMan *manager);

    TElPlayerMan *Owner() const { return m_FManager; }
    int Count() const { return int(m_items.size()); }
    TElPlayer *Add();
    void Clear();
    TElPlayer *GetItems(int index) const { return m_items.at(size_t(index)); }
    // Assigns into the item at index; the collection keeps its own item.
    void SetItems(int index, const TElPlayer *value) { GetItems(index)->Assign(*value); }
    // Makes this collection a copy of another: as many items, each assigned from its twin.
    void Assign(const TElPlayers &source);

private:
    TElPlayerMan *m_FManager;
    std::vector<TElPlayer *> m_items; // owned as QObject children
};

class TElPlayerMan : public QObject {
    Q_OBJECT
    Q_PROPERTY(TElPlayers *Players READ Players WRITE SetPlayers)
public:
    explicit TElPlayerMan(QObject *owner = nullptr);
    ~TElPlayerMan() override;

    TElPlayers *Players() const { return m_players; }
    void SetPlayers(TElPlayers *value);

private:
    TElPlayers *m_players;
};
