// Which row of the song list the transport moves to. Rows wrap at both ends.
#pragma once

class QRandomGenerator;

namespace SongRows {

int next(int row, int count);
int previous(int row, int count);
// A row drawn uniformly from all rows; the same row may come again.
int random(int count, QRandomGenerator &generator);

} // namespace SongRows
