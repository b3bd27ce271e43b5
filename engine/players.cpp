#include "players.h"

TElPlayers::TElPlayers(TElPlayerMan *manager) : QObject(manager), m_FManager(manager) {}

TElPlayer *TElPlayers::Add()
{
    auto *player = new TElPlayer(this);
    m_items.push_back(player);
    return player;
}

void TElPlayers::Clear()
{
    for (TElPlayer *player : m_items)
        delete player;
    m_items.clear();
}

void TElPlayers::Assign(const TElPlayers &source)
{
    if (&source == this)
        return;
    Clear();
    for (int i = 0; i < source.Count(); ++i)
        Add()->Assign(*source.GetItems(i));
}

TElPlayerMan::TElPlayerMan(QObject *owner) : QObject(owner), m_players(new TElPlayers(this)) {}

TElPlayerMan::~TElPlayerMan()
{
    m_players->Clear(); // each player releases its library first
}

void TElPlayerMan::SetPlayers(TElPlayers *value)
{
    if (value && value != m_players)
        m_players->Assign(*value);
}
