#include "reports/pdf_join.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace korventa::reports {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

bool isDelimiter(char c) {
  return c != '\0' && std::strchr("()<>[]{}/%", c) != nullptr;
}

// A token of the part of an object before its stream. Strings are kept whole and never looked
// into, so that a text that happens to read "7 0 R" is left alone.
struct Token {
  enum class Kind { Integer, Real, Name, Keyword, String, Open, Close };
  Kind kind;
  std::size_t begin, end;  // in the object's text
  long long value = 0;     // integers
};

struct Tokens {
  std::vector<Token> list;
  std::size_t stream = std::string_view::npos;  // where "stream" starts, if the object has one
};

std::size_t skipBlanks(std::string_view s, std::size_t i) {
  while (i < s.size()) {
    if (s[i] == '%') {
      while (i < s.size() && s[i] != '\n' && s[i] != '\r') ++i;
    } else if (isBlank(s[i])) {
      ++i;
    } else {
      break;
    }
  }
  return i;
}

// End of the literal string starting at `i` (its opening parenthesis); npos when unclosed.
std::size_t literalEnd(std::string_view s, std::size_t i) {
  int depth = 0;
  for (; i < s.size(); ++i) {
    if (s[i] == '\\') {
      ++i;
    } else if (s[i] == '(') {
      ++depth;
    } else if (s[i] == ')' && --depth == 0) {
      return i + 1;
    }
  }
  return std::string_view::npos;
}

Token word(std::string_view s, std::size_t begin, std::size_t end) {
  const std::string_view w = s.substr(begin, end - begin);
  long long value = 0;
  const char* first = w.data() + (w.front() == '+' ? 1 : 0);
  auto [ptr, ec] = std::from_chars(first, w.data() + w.size(), value);
  if (ec == std::errc() && ptr == w.data() + w.size()) return {Token::Kind::Integer, begin, end, value};
  const bool real = w.find_first_not_of("+-.0123456789") == std::string_view::npos;
  return {real ? Token::Kind::Real : Token::Kind::Keyword, begin, end, 0};
}

// The tokens of an object's text up to its stream; nothing on what cannot be read.
std::optional<Tokens> tokenize(std::string_view s) {
  Tokens out;
  std::size_t i = skipBlanks(s, 0);
  while (i < s.size()) {
    const char c = s[i];
    std::size_t end = i + 1;
    Token::Kind kind = Token::Kind::Open;
    if (c == '(') {
      end = literalEnd(s, i);
      kind = Token::Kind::String;
    } else if (c == '<' && i + 1 < s.size() && s[i + 1] == '<') {
      end = i + 2;
    } else if (c == '<') {
      end = s.find('>', i);
      end = end == std::string_view::npos ? end : end + 1;
      kind = Token::Kind::String;
    } else if (c == '>' && i + 1 < s.size() && s[i + 1] == '>') {
      end = i + 2;
      kind = Token::Kind::Close;
    } else if (c == '[' || c == '{') {
      kind = Token::Kind::Open;
    } else if (c == ']' || c == '}') {
      kind = Token::Kind::Close;
    } else if (c == '/') {
      while (end < s.size() && !isBlank(s[end]) && !isDelimiter(s[end])) ++end;
      kind = Token::Kind::Name;
    } else if (c == ')' || c == '>') {
      return std::nullopt;
    } else {
      while (end < s.size() && !isBlank(s[end]) && !isDelimiter(s[end])) ++end;
      Token t = word(s, i, end);
      const std::string_view w = s.substr(i, end - i);
      if (w == "stream") {
        out.stream = i;
        return out;
      }
      if (w == "obj" || w == "endobj" || w == "endstream") return std::nullopt;
      out.list.push_back(t);
      i = skipBlanks(s, end);
      continue;
    }
    if (end == std::string_view::npos) return std::nullopt;
    out.list.push_back({kind, i, end, 0});
    i = skipBlanks(s, end);
  }
  return out;
}

bool is(std::string_view s, const Token& t, std::string_view text) {
  return s.substr(t.begin, t.end - t.begin) == text;
}

// A reference "N 0 R" ending at token `r` (the "R"); its object number, or 0 when `r` is not one.
long long referenceAt(std::string_view s, const std::vector<Token>& list, std::size_t r) {
  if (list[r].kind != Token::Kind::Keyword || !is(s, list[r], "R") || r < 2) return 0;
  const Token& number = list[r - 2];
  const Token& generation = list[r - 1];
  if (number.kind != Token::Kind::Integer || generation.kind != Token::Kind::Integer || generation.value != 0) return 0;
  return number.value;
}

struct Reference {
  std::size_t begin, end;  // "N 0 R" in the object's text
  long long number;
};

// Every reference of an object; nothing when an "R" is not part of one.
std::optional<std::vector<Reference>> references(std::string_view s, const Tokens& tokens) {
  std::vector<Reference> out;
  for (std::size_t i = 0; i < tokens.list.size(); ++i) {
    if (tokens.list[i].kind != Token::Kind::Keyword || !is(s, tokens.list[i], "R")) continue;
    const long long n = referenceAt(s, tokens.list, i);
    if (n <= 0) return std::nullopt;
    out.push_back({tokens.list[i - 2].begin, tokens.list[i].end, n});
  }
  return out;
}

// Index of the token that follows `key` in the outermost dictionary; nothing when absent.
std::optional<std::size_t> valueOf(std::string_view s, const Tokens& tokens, std::string_view key) {
  int depth = 0;
  for (std::size_t i = 0; i + 1 < tokens.list.size(); ++i) {
    const Token& t = tokens.list[i];
    if (t.kind == Token::Kind::Open) ++depth;
    if (t.kind == Token::Kind::Close) --depth;
    if (depth == 1 && t.kind == Token::Kind::Name && is(s, t, key)) return i + 1;
  }
  return std::nullopt;
}

// The object a key of the outermost dictionary refers to; 0 when it refers to none.
long long referenceOf(std::string_view s, const Tokens& tokens, std::string_view key) {
  auto at = valueOf(s, tokens, key);
  if (!at || *at + 2 >= tokens.list.size()) return 0;
  return referenceAt(s, tokens.list, *at + 2);
}

bool hasName(std::string_view s, const Tokens& tokens, std::string_view key, std::string_view name) {
  auto at = valueOf(s, tokens, key);
  return at && tokens.list[*at].kind == Token::Kind::Name && is(s, tokens.list[*at], name);
}

// A font subset's name: six capitals, "+", the font's name.
bool isSubsetName(std::string_view name) {
  if (name.size() < 9 || name[0] != '/' || name[7] != '+') return false;
  return std::all_of(name.begin() + 1, name.begin() + 7, [](char c) { return c >= 'A' && c <= 'Z'; });
}

// A file of the writer: the text before its first object and each object's text between
// "N 0 obj" and "endobj", by number (number 0 is the table's free head and has none).
struct PdfFile {
  std::string_view header;
  std::vector<std::string_view> bodies;
  long long root = 0, info = 0;
};

// Skips white space only: the structure of the file has no comments but "%%EOF".
std::size_t skipWhite(std::string_view s, std::size_t i) {
  while (i < s.size() && isBlank(s[i])) ++i;
  return i;
}

// Reads one digit run of exactly `width` digits at `i`.
std::optional<long long> digits(std::string_view s, std::size_t i, std::size_t width) {
  if (i + width > s.size()) return std::nullopt;
  long long v = 0;
  for (std::size_t k = i; k < i + width; ++k) {
    if (s[k] < '0' || s[k] > '9') return std::nullopt;
    v = v * 10 + (s[k] - '0');
  }
  return v;
}

// Reads a decimal integer at `i` (after blanks); moves `i` past it.
std::optional<long long> integerAt(std::string_view s, std::size_t& i) {
  i = skipWhite(s, i);
  std::size_t end = i;
  while (end < s.size() && s[end] >= '0' && s[end] <= '9') ++end;
  if (end == i || end - i > 12) return std::nullopt;
  auto v = digits(s, i, end - i);
  i = end;
  return v;
}

bool literalAt(std::string_view s, std::size_t& i, std::string_view text) {
  i = skipWhite(s, i);
  if (s.substr(i, text.size()) != text) return false;
  i += text.size();
  return true;
}

// The offset of the cross-reference table, from "startxref" near the end of the file.
std::optional<std::size_t> startXref(std::string_view pdf) {
  const std::size_t tail = pdf.size() > 1024 ? pdf.size() - 1024 : 0;
  std::size_t at = pdf.rfind("startxref");
  if (at == std::string_view::npos || at < tail) return std::nullopt;
  at += 9;
  auto offset = integerAt(pdf, at);
  if (!offset || !literalAt(pdf, at, "%%EOF")) return std::nullopt;
  if (skipWhite(pdf, at) != pdf.size()) return std::nullopt;  // an update appended after it
  return static_cast<std::size_t>(*offset);
}

// The table's offsets by object number (one subsection from 0, every object in use), leaving `i`
// after it.
std::optional<std::vector<std::size_t>> readXref(std::string_view pdf, std::size_t& i) {
  if (!literalAt(pdf, i, "xref")) return std::nullopt;
  auto first = integerAt(pdf, i);
  auto count = integerAt(pdf, i);
  if (!first || *first != 0 || !count || *count < 2) return std::nullopt;
  i = skipWhite(pdf, i);
  std::vector<std::size_t> offsets;
  for (long long n = 0; n < *count; ++n, i += 20) {
    if (i + 20 > pdf.size() || pdf[i + 10] != ' ' || pdf[i + 16] != ' ') return std::nullopt;
    auto offset = digits(pdf, i, 10);
    auto generation = digits(pdf, i + 11, 5);
    if (!offset || !generation) return std::nullopt;
    const char type = pdf[i + 17];
    const bool used = type == 'n' && *generation == 0;
    if (n == 0 ? type != 'f' : !used) return std::nullopt;
    offsets.push_back(static_cast<std::size_t>(*offset));
  }
  return offsets;
}

// The trailer after the table: /Size, /Root and /Info, nothing else.
bool readTrailer(std::string_view pdf, std::size_t i, std::size_t size, PdfFile& file) {
  if (!literalAt(pdf, i, "trailer")) return false;
  const std::size_t end = pdf.find(">>", i);
  if (end == std::string_view::npos) return false;
  const std::string_view dict = pdf.substr(i, end + 2 - i);
  auto tokens = tokenize(dict);
  if (!tokens || tokens->list.size() != 12) return false;  // << /Size n /Root n 0 R /Info n 0 R >>
  auto sizeAt = valueOf(dict, *tokens, "/Size");
  if (!sizeAt || tokens->list[*sizeAt].value != static_cast<long long>(size)) return false;
  file.root = referenceOf(dict, *tokens, "/Root");
  file.info = referenceOf(dict, *tokens, "/Info");
  auto inRange = [&](long long n) { return n > 0 && n < static_cast<long long>(size); };
  return inRange(file.root) && inRange(file.info) && file.root != file.info;
}

// Each object's text, cut at the offsets of the table: every offset must start "N 0 obj" and
// the text before the next one (or the table) end with "endobj".
bool cutObjects(std::string_view pdf, const std::vector<std::size_t>& offsets, std::size_t xref, PdfFile& file) {
  std::vector<std::pair<std::size_t, std::size_t>> byOffset;  // offset, number
  for (std::size_t n = 1; n < offsets.size(); ++n) byOffset.emplace_back(offsets[n], n);
  std::sort(byOffset.begin(), byOffset.end());
  file.bodies.assign(offsets.size(), {});
  for (std::size_t k = 0; k < byOffset.size(); ++k) {
    const auto [begin, n] = byOffset[k];
    const std::size_t end = k + 1 < byOffset.size() ? byOffset[k + 1].first : xref;
    if (end <= begin || end > xref) return false;
    std::string_view text = pdf.substr(begin, end - begin);
    const std::string head = std::to_string(n) + " 0 obj";
    if (text.substr(0, head.size()) != head || text.size() <= head.size() || !isBlank(text[head.size()])) return false;
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    if (text.size() < head.size() + 6 || text.substr(text.size() - 6) != "endobj") return false;
    file.bodies[n] = text.substr(head.size(), text.size() - 6 - head.size());
  }
  file.header = pdf.substr(0, byOffset.front().first);
  return file.header.substr(0, 5) == "%PDF-";
}

std::optional<PdfFile> readPdf(std::string_view pdf) {
  auto xref = startXref(pdf);
  if (!xref || *xref >= pdf.size()) return std::nullopt;
  std::size_t i = *xref;
  auto offsets = readXref(pdf, i);
  PdfFile file;
  if (!offsets || !readTrailer(pdf, i, offsets->size(), file)) return std::nullopt;
  if (!cutObjects(pdf, *offsets, *xref, file)) return std::nullopt;
  return file;
}

// The flat page tree under the catalog: where its /Kids array and /Count value lie in its text.
struct PageTree {
  long long number = 0;
  std::vector<long long> kids;
  std::size_t kidsBegin = 0, kidsEnd = 0;    // inside the brackets
  std::size_t countBegin = 0, countEnd = 0;  // the number
  // The tree's text less its kids and count, which two trees of the same writer share.
  std::string rest(std::string_view body) const {
    return std::string(body.substr(0, kidsBegin)) + std::string(body.substr(kidsEnd, countBegin - kidsEnd)) +
           std::string(body.substr(countEnd));
  }
};

bool isPage(const PdfFile& file, long long n, long long parent) {
  if (n <= 0 || n >= static_cast<long long>(file.bodies.size())) return false;
  const std::string_view body = file.bodies[n];
  auto tokens = tokenize(body);
  return tokens && hasName(body, *tokens, "/Type", "/Page") && referenceOf(body, *tokens, "/Parent") == parent;
}

std::optional<PageTree> readPageTree(const PdfFile& file) {
  const std::string_view catalog = file.bodies[file.root];
  auto catalogTokens = tokenize(catalog);
  if (!catalogTokens || !hasName(catalog, *catalogTokens, "/Type", "/Catalog")) return std::nullopt;
  PageTree tree;
  tree.number = referenceOf(catalog, *catalogTokens, "/Pages");
  if (tree.number <= 0 || tree.number >= static_cast<long long>(file.bodies.size())) return std::nullopt;
  const std::string_view body = file.bodies[tree.number];
  auto tokens = tokenize(body);
  if (!tokens || tokens->stream != std::string_view::npos || !hasName(body, *tokens, "/Type", "/Pages"))
    return std::nullopt;
  auto kidsAt = valueOf(body, *tokens, "/Kids");
  auto countAt = valueOf(body, *tokens, "/Count");
  if (!kidsAt || !countAt || !is(body, tokens->list[*kidsAt], "[")) return std::nullopt;
  std::size_t k = *kidsAt + 1;
  for (; k < tokens->list.size() && !is(body, tokens->list[k], "]"); k += 3) {
    if (k + 2 >= tokens->list.size()) return std::nullopt;
    const long long kid = referenceAt(body, tokens->list, k + 2);
    if (!isPage(file, kid, tree.number)) return std::nullopt;
    tree.kids.push_back(kid);
  }
  const Token& count = tokens->list[*countAt];
  if (k >= tokens->list.size() || *countAt < k || count.kind != Token::Kind::Integer ||
      count.value != static_cast<long long>(tree.kids.size()) || tree.kids.empty())
    return std::nullopt;
  tree.kidsBegin = tokens->list[*kidsAt].end;
  tree.kidsEnd = tokens->list[k].begin;
  tree.countBegin = count.begin;
  tree.countEnd = count.end;
  return tree;
}

// The second file's objects its pages use, following references from the pages (a page's
// parent is the page tree, which is the first file's from now on); nothing when they reach the
// catalog or the information dictionary, or an object that does not exist.
std::optional<std::vector<long long>> usedByPages(const PdfFile& file, const PageTree& tree) {
  std::vector<bool> seen(file.bodies.size(), false);
  seen[tree.number] = true;
  std::deque<long long> queue(tree.kids.begin(), tree.kids.end());
  for (long long kid : tree.kids) seen[kid] = true;
  while (!queue.empty()) {
    const std::string_view body = file.bodies[queue.front()];
    queue.pop_front();
    auto tokens = tokenize(body);
    auto refs = tokens ? references(body, *tokens) : std::nullopt;
    if (!refs) return std::nullopt;
    for (const auto& r : *refs) {
      if (r.number >= static_cast<long long>(file.bodies.size()) || r.number == file.root || r.number == file.info)
        return std::nullopt;
      if (!seen[r.number]) {
        seen[r.number] = true;
        queue.push_back(r.number);
      }
    }
  }
  std::vector<long long> used;
  for (std::size_t n = 1; n < seen.size(); ++n)
    if (seen[n] && static_cast<long long>(n) != tree.number) used.push_back(static_cast<long long>(n));
  return used;
}

// The subset tags (the six capitals) named anywhere in the objects' dictionaries.
std::set<std::string> subsetTags(const PdfFile& file, const std::vector<long long>& numbers) {
  std::set<std::string> tags;
  for (long long n : numbers) {
    const std::string_view body = file.bodies[n];
    auto tokens = tokenize(body);
    if (!tokens) continue;
    for (const auto& t : tokens->list)
      if (t.kind == Token::Kind::Name && isSubsetName(body.substr(t.begin, t.end - t.begin)))
        tags.emplace(body.substr(t.begin + 1, 6));
  }
  return tags;
}

// New tags for the second file's subsets, none of them a tag of the first file.
std::map<std::string, std::string> renamedTags(const std::set<std::string>& second, std::set<std::string> taken) {
  std::map<std::string, std::string> renamed;
  long long serial = 0;
  for (const auto& tag : second) {
    std::string fresh;
    do {
      fresh = "Q";
      for (long long v = serial++, k = 0; k < 5; ++k, v /= 26) fresh += static_cast<char>('A' + v % 26);
    } while (taken.count(fresh) || second.count(fresh));
    taken.insert(fresh);
    renamed[tag] = fresh;
  }
  return renamed;
}

struct Renumbering {
  std::vector<long long> numbers;  // by the second file's object number; 0 = not carried over
  std::map<std::string, std::string> tags;
};

// An object of the second file with its references renumbered and its subsets renamed.
std::optional<std::string> carriedOver(std::string_view body, const Renumbering& how) {
  auto tokens = tokenize(body);
  auto refs = tokens ? references(body, *tokens) : std::nullopt;
  if (!refs) return std::nullopt;
  std::vector<std::pair<std::size_t, std::pair<std::size_t, std::string>>> edits;  // begin, (end, text)
  for (const auto& r : *refs) {
    const long long n = how.numbers[r.number];
    if (n == 0) return std::nullopt;
    edits.push_back({r.begin, {r.end, std::to_string(n) + " 0 R"}});
  }
  for (const auto& t : tokens->list) {
    if (t.kind != Token::Kind::Name || !isSubsetName(body.substr(t.begin, t.end - t.begin))) continue;
    auto tag = how.tags.find(std::string(body.substr(t.begin + 1, 6)));
    if (tag != how.tags.end()) edits.push_back({t.begin + 1, {t.begin + 7, tag->second}});
  }
  std::sort(edits.begin(), edits.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string out;
  out.reserve(body.size() + 16);
  std::size_t at = 0;
  for (const auto& [begin, edit] : edits) {
    out.append(body.substr(at, begin - at));
    out.append(edit.second);
    at = edit.first;
  }
  out.append(body.substr(at));
  return out;
}

// The joined file as it is written: its size so far and where each object starts.
struct Output {
  const PdfSink& write;
  std::vector<std::size_t> offsets;
  std::size_t size = 0;
  bool ok = true;

  void put(std::string_view text) {
    if (ok) ok = write(text);
    size += text.size();
  }
  void object(long long n, std::string_view body) {
    offsets[static_cast<std::size_t>(n)] = size;
    put(std::to_string(n));
    put(" 0 obj");
    put(body);
    put("endobj\n");
  }
};

std::string xrefAndTrailer(const std::vector<std::size_t>& offsets, std::size_t at, const PdfFile& file) {
  std::string out = "xref\n0 " + std::to_string(offsets.size()) + "\n0000000000 65535 f \n";
  char entry[32];
  for (std::size_t n = 1; n < offsets.size(); ++n) {
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offsets[n]);
    out.append(entry);
  }
  out += "trailer\n<<\n/Size " + std::to_string(offsets.size()) + "\n/Info " + std::to_string(file.info) +
         " 0 R\n/Root " + std::to_string(file.root) + " 0 R\n>>\nstartxref\n" + std::to_string(at) + "\n%%EOF\n";
  return out;
}

// Both files read and checked, and how the second one's objects carry over.
struct Join {
  PdfFile a, b;
  PageTree treeA, treeB;
  std::vector<long long> used;  // the second file's objects that carry over
  Renumbering how;
  std::string tree;  // the first file's page tree with every page
};

std::string joinedTree(const Join& j) {
  std::string kids = "\n";
  for (long long kid : j.treeA.kids) kids += std::to_string(kid) + " 0 R\n";
  for (long long kid : j.treeB.kids) kids += std::to_string(j.how.numbers[kid]) + " 0 R\n";
  const std::string_view body = j.a.bodies[j.treeA.number];
  return std::string(body.substr(0, j.treeA.kidsBegin)) + kids +
         std::string(body.substr(j.treeA.kidsEnd, j.treeA.countBegin - j.treeA.kidsEnd)) +
         std::to_string(j.treeA.kids.size() + j.treeB.kids.size()) + std::string(body.substr(j.treeA.countEnd));
}

std::optional<Join> prepare(std::string_view first, std::string_view second) {
  auto a = readPdf(first);
  auto b = readPdf(second);
  if (!a || !b || a->header != b->header) return std::nullopt;
  auto treeA = readPageTree(*a);
  auto treeB = readPageTree(*b);
  if (!treeA || !treeB || treeA->rest(a->bodies[treeA->number]) != treeB->rest(b->bodies[treeB->number]))
    return std::nullopt;
  // The catalog of the second file is left behind: it may hold nothing but its page tree.
  auto catalogB = tokenize(b->bodies[b->root]);
  if (!catalogB || catalogB->list.size() != 8) return std::nullopt;  // << /Type /Catalog /Pages n 0 R >>
  auto used = usedByPages(*b, *treeB);
  if (!used) return std::nullopt;

  Join j{std::move(*a), std::move(*b), std::move(*treeA), std::move(*treeB), std::move(*used), {}, {}};
  j.how.numbers.assign(j.b.bodies.size(), 0);
  j.how.numbers[j.treeB.number] = j.treeA.number;
  long long next = static_cast<long long>(j.a.bodies.size());
  for (long long n : j.used) j.how.numbers[n] = next++;
  std::vector<long long> allOfA;
  for (std::size_t n = 1; n < j.a.bodies.size(); ++n) allOfA.push_back(static_cast<long long>(n));
  j.how.tags = renamedTags(subsetTags(j.b, j.used), subsetTags(j.a, allOfA));
  j.tree = joinedTree(j);
  return j;
}

}  // namespace

bool joinPdfs(std::string_view first, std::string_view second, const PdfSink& write) {
  auto j = prepare(first, second);
  if (!j) return false;
  Output out{write, std::vector<std::size_t>(j->a.bodies.size() + j->used.size(), 0)};
  out.put(j->a.header);
  for (std::size_t n = 1; n < j->a.bodies.size(); ++n)
    out.object(static_cast<long long>(n),
               static_cast<long long>(n) == j->treeA.number ? std::string_view(j->tree) : j->a.bodies[n]);
  for (long long n : j->used) {
    auto body = carriedOver(j->b.bodies[n], j->how);
    if (!body) return false;
    out.object(j->how.numbers[n], *body);
  }
  out.put(xrefAndTrailer(out.offsets, out.size, j->a));
  return out.ok;
}

std::optional<std::string> joinPdfs(std::string_view first, std::string_view second) {
  std::string joined;
  joined.reserve(first.size() + second.size());
  auto append = [&joined](std::string_view text) {
    joined.append(text);
    return true;
  };
  if (!joinPdfs(first, second, append)) return std::nullopt;
  return joined;
}

}  // namespace korventa::reports
