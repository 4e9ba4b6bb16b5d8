#include "reflex/input.h"

#include <cstring>
#include <utility>

namespace reflex {

Input::Input() : source_(Source::none) {}

Input::Input(FILE* file) : source_(Source::file), file_(file) {}

Input::Input(std::istream& stream) : source_(Source::stream), stream_(&stream) {}

Input::Input(const std::string& text) : source_(Source::string), text_(text.data()), size_(text.size()) {}

Input::Input(std::string&& text)
    : source_(Source::string), owned_(std::make_shared<const std::string>(std::move(text))) {
  text_ = owned_->data();
  size_ = owned_->size();
}

Input::Input(const char* text) : source_(Source::string), text_(text ? text : ""), size_(text ? std::strlen(text) : 0) {}

FILE* Input::file() const { return file_; }

std::istream* Input::stream() const { return stream_; }

size_t Input::get(char* s, size_t n) {
  if (n == 0) return 0;
  switch (source_) {
    case Source::none:
      return 0;
    case Source::file:
      return get_file(s, n);
    case Source::stream: {
      if (!stream_ || !*stream_) return 0;
      stream_->read(s, static_cast<std::streamsize>(n));
      return static_cast<size_t>(stream_->gcount());
    }
    case Source::string: {
      size_t k = size_ - offset_;
      if (k > n) k = n;
      std::memcpy(s, text_ + offset_, k);
      offset_ += k;
      return k;
    }
  }
  return 0;
}

// Skips a UTF-8 byte-order mark at the start. The lead bytes are read one
// at a time so that a terminal is never asked for more than it has.
size_t Input::get_file(char* s, size_t n) {
  if (!file_) return 0;
  if (!started_) {
    started_ = true;
    static const unsigned char bom[3] = {0xEF, 0xBB, 0xBF};
    while (lead_size_ < 3) {
      int c = getc(file_);
      if (c == EOF) break;
      lead_[lead_size_++] = static_cast<unsigned char>(c);
      if (lead_[lead_size_ - 1] != bom[lead_size_ - 1]) break;
    }
    if (lead_size_ == 3 && std::memcmp(lead_, bom, 3) == 0) lead_size_ = 0;
  }
  if (lead_next_ < lead_size_) {
    size_t k = 0;
    while (k < n && lead_next_ < lead_size_) s[k++] = static_cast<char>(lead_[lead_next_++]);
    return k;
  }
  return fread(s, 1, n, file_);
}

}  // namespace reflex
