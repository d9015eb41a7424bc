#pragma once

#include <functional>

namespace lumaref {

// Where a record set stands among its visible rows (positions from 0; -1: no current row), with the
// Eof and Bof flags its moves set. Every move is told to `moved`, even onto the row it stood on.
class Cursor {
public:
    explicit Cursor(std::function<void(int)> moved);

    int position() const { return position_; }
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }

    // Moves among `count` visible rows. next() on the last row and prior() on the first stay put and
    // set Eof or Bof.
    void first(int count);
    void next(int count);
    void prior();
    void last(int count);
    // The row at `position`, when it is one of `count`; otherwise no move.
    void goTo(int position, int count);

    // A new row is being appended: no current row, at Eof, the position kept to come back to.
    void leaveForAppend();
    // The append was abandoned: back onto the row it left, or the last of `count`.
    void returnFromAppend(int count);
    // The appended row was posted at `position`.
    void arriveAt(int position);
    // The record set closed: no row, nothing told.
    void clear() { position_ = -1; }

private:
    void moveTo(int position);

    std::function<void(int)> moved_;
    int position_ = -1;
    bool eof_ = true;
    bool bof_ = true;
};

}  // namespace lumaref
