#include "songrows.h"

#include <QRandomGenerator>

namespace SongRows {

int next(int row, int count)
{
    return row >= count - 1 ? 0 : row + 1;
}

int previous(int row, int count)
{
    return row <= 0 ? count - 1 : row - 1;
}

int random(int count, QRandomGenerator &generator)
{
    return int(generator.bounded(count));
}

} // namespace SongRows
