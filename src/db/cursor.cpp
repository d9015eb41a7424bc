#include "db/cursor.h"

namespace lumaref {

Cursor::Cursor(std::function<void(int)> moved) : moved_(std::move(moved)) {}

void Cursor::moveTo(int position) {
    position_ = position;
    moved_(position_);
}

void Cursor::first(int count) {
    moveTo(count > 0 ? 0 : -1);
    bof_ = true;
    eof_ = count == 0;
}

void Cursor::next(int count) {
    bof_ = false;
    if (position_ + 1 < count) {
        moveTo(position_ + 1);
        eof_ = false;
    } else {
        eof_ = true;
    }
}

void Cursor::prior() {
    eof_ = false;
    if (position_ > 0) {
        moveTo(position_ - 1);
        bof_ = false;
    } else {
        bof_ = true;
    }
}

void Cursor::last(int count) {
    moveTo(count > 0 ? count - 1 : -1);
    eof_ = true;
    bof_ = count == 0;
}

void Cursor::goTo(int position, int count) {
    if (position < 0 || position >= count) return;
    moveTo(position);
    eof_ = false;
    bof_ = false;
}

void Cursor::leaveForAppend() {
    eof_ = true;
    moved_(-1);
}

void Cursor::returnFromAppend(int count) { moveTo(position_ >= count ? count - 1 : position_); }

void Cursor::arriveAt(int position) {
    moveTo(position);
    eof_ = false;
    bof_ = false;
}

}  // namespace lumaref
