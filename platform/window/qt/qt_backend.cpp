#include "platform/window/qt/qt_backend.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCursor>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QValidator>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/files/paths.h"
#include "platform/text/text.h"
#include "platform/window/qt/codepage.h"
#include "platform/window/qt/desktop.h"
#include "platform/window/window.h"

namespace window {

// ---- texts -------------------------------------------------------------------------

QString to_qstring(std::string_view bytes) {
  QString s;
  s.reserve(static_cast<qsizetype>(bytes.size()));
  for (char b : bytes) s.append(QChar(static_cast<char16_t>(codepage::to_unicode(static_cast<unsigned char>(b)))));
  return s;
}

std::optional<std::string> to_bytes(const QString& s) {
  std::string out;
  out.reserve(static_cast<std::size_t>(s.size()));
  for (QChar c : s) {
    if (c.isSurrogate()) return std::nullopt;  // beyond the code page, always
    auto b = codepage::to_byte(c.unicode());
    if (!b) return std::nullopt;
    out.push_back(static_cast<char>(*b));
  }
  return out;
}

namespace {

bool set_in_env(const char* name) {
  const char* v = std::getenv(name);
  return v && *v;
}

// The runtime's key codes: the virtual-key number, plus 0x100 for Shift, 0x200
// for Ctrl and 0x400 for Alt. 0 for a key the runtime has no code for.
int key_code(const QKeyEvent& e) {
  int k = e.key();
  int code = 0;
  if (k >= Qt::Key_A && k <= Qt::Key_Z) {
    code = 'A' + (k - Qt::Key_A);
  } else if (k >= Qt::Key_0 && k <= Qt::Key_9) {
    code = '0' + (k - Qt::Key_0);
  } else if (k >= Qt::Key_F1 && k <= Qt::Key_F24) {
    code = 0x70 + (k - Qt::Key_F1);
  } else {
    switch (k) {
      case Qt::Key_Return:
      case Qt::Key_Enter: code = EnterKey; break;
      case Qt::Key_Escape: code = EscKey; break;
      case Qt::Key_Tab: code = 0x09; break;
      case Qt::Key_Backspace: code = 0x08; break;
      case Qt::Key_Space: code = 0x20; break;
      case Qt::Key_PageUp: code = 0x21; break;
      case Qt::Key_PageDown: code = 0x22; break;
      case Qt::Key_End: code = 0x23; break;
      case Qt::Key_Home: code = 0x24; break;
      case Qt::Key_Left: code = 0x25; break;
      case Qt::Key_Up: code = 0x26; break;
      case Qt::Key_Right: code = 0x27; break;
      case Qt::Key_Down: code = 0x28; break;
      case Qt::Key_Insert: code = 0x2D; break;
      case Qt::Key_Delete: code = DeleteKey; break;
      default: return 0;
    }
  }
  Qt::KeyboardModifiers m = e.modifiers();
  if (m & Qt::ShiftModifier) code += 0x100;
  if (m & Qt::ControlModifier) code += 0x200;
  if (m & Qt::AltModifier) code += 0x400;
  return code;
}

Qt::Alignment alignment(char a) {
  switch (a) {
    case 'R':
    case 'D': return Qt::AlignRight | Qt::AlignVCenter;
    case 'C': return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

// The characters a picture shows: "@s20" 20, "@n-14" 14; dates and times their
// longest form.
int picture_chars(std::string_view picture) {
  if (picture.size() < 2 || picture[0] != '@') return 20;
  char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(picture[1])));
  if (kind == 'D') return 10;
  if (kind == 'T') return 8;
  std::size_t i = 2;
  while (i < picture.size() && !std::isdigit(static_cast<unsigned char>(picture[i]))) ++i;
  int n = 0;
  while (i < picture.size() && std::isdigit(static_cast<unsigned char>(picture[i])) && n < 10000) {
    n = n * 10 + (picture[i++] - '0');
  }
  return n > 0 ? n : 20;
}

// A caption without its "&" marks ("&&" is an "&"), for a prompt with no
// control to take its letter's focus.
QString plain_caption(const QString& caption) {
  QString out;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == QLatin1Char('&') && ++i >= caption.size()) break;
    out += caption[i];
  }
  return out;
}

// The tool-tip delay is the process's (SYSTEM{PROP:TipDelay}); the style is
// where the toolkit asks for it each time a tip is due.
class TipStyle final : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* ret) const override {
    if (hint == SH_ToolTip_WakeUpDelay) {
      std::int32_t d = text::to_long(system_property(PROP_TipDelay));
      if (d > 0) return d * 10;
    }
    return QProxyStyle::styleHint(hint, option, widget, ret);
  }
};

class CodePageValidator final : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override { return to_bytes(input) ? Acceptable : Invalid; }
};

// A multi-line text refuses characters without a byte, typed or pasted.
class TextEdit final : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (!e->text().isEmpty() && !to_bytes(e->text())) {
      e->accept();
      return;
    }
    QPlainTextEdit::keyPressEvent(e);
  }
  void insertFromMimeData(const QMimeData* source) override {
    if (source->hasText() && !to_bytes(source->text())) return;
    QPlainTextEdit::insertFromMimeData(source);
  }
  void inputMethodEvent(QInputMethodEvent* e) override {
    if (!e->commitString().isEmpty() && !to_bytes(e->commitString())) {
      e->accept();
      return;
    }
    QPlainTextEdit::inputMethodEvent(e);
  }
};

}  // namespace

// ---- lists ---------------------------------------------------------------------------

// Reads the bound rows through the window model as the view paints them. A few
// rows are kept as text while they are painted; nothing else is copied.
class ListModel final : public QAbstractTableModel {
 public:
  ListModel(Window& w, int feq, QObject* parent) : QAbstractTableModel(parent), w_(&w), feq_(feq) {
    rows_ = static_cast<int>(std::min<std::size_t>(w.list_rows(feq), INT32_MAX));
    cols_ = static_cast<int>(w.list_format(feq).columns.size());
  }
  void detach() { w_ = nullptr; }

  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows_; }
  int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : cols_; }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!w_ || !index.isValid()) return {};
    if (role == Qt::DisplayRole) {
      std::string text = cell(static_cast<std::size_t>(index.row()) + 1, index.column() + 1);
      // A field's trailing blanks paint as nothing on Windows; here they would
      // make the view elide a short text in a narrow column.
      if (column(index.column()).align == 'L') return to_qstring(text::clip(text));
      return to_qstring(text);
    }
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(alignment(column(index.column()).align));
    return {};
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (!w_ || orientation != Qt::Horizontal || section < 0 || section >= cols_) return {};
    if (role == Qt::DisplayRole) return to_qstring(column(section).heading);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(alignment(column(section).heading_align));
    return {};
  }

  // The rows or their texts changed (DISPLAY, a new FORMAT, a queue that grew).
  void refresh() {
    if (!w_) return;
    cache_.clear();
    int rows = static_cast<int>(std::min<std::size_t>(w_->list_rows(feq_), INT32_MAX));
    int cols = static_cast<int>(w_->list_format(feq_).columns.size());
    if (cols != cols_) {
      beginResetModel();
      rows_ = rows;
      cols_ = cols;
      endResetModel();
      return;
    }
    if (rows > rows_) {
      beginInsertRows({}, rows_, rows - 1);
      rows_ = rows;
      endInsertRows();
    } else if (rows < rows_) {
      beginRemoveRows({}, rows, rows_ - 1);
      rows_ = rows;
      endRemoveRows();
    }
    if (rows_ > 0 && cols_ > 0) Q_EMIT dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
  }

  const ListColumn& column(int k) const { return w_->list_format(feq_).columns[static_cast<std::size_t>(k)]; }

 private:
  // The text of a cell. A row is read once for a band of columns around the
  // one asked for: the view paints row by row, a screenful of columns at a time.
  std::string cell(std::size_t r, int column) const {
    std::size_t k = static_cast<std::size_t>(column);
    for (const Band& b : cache_) {
      if (b.row == r && k >= b.first && k < b.first + b.cells.size()) return b.cells[k - b.first];
    }
    if (cache_.size() == kCachedRows) cache_.erase(cache_.begin());
    std::size_t first = k > kBand / 4 ? k - kBand / 4 : 1;
    cache_.push_back({r, first, w_->list_cells(feq_, r, first, first + kBand - 1)});
    const Band& b = cache_.back();
    return k - b.first < b.cells.size() ? b.cells[k - b.first] : std::string();
  }

  struct Band {
    std::size_t row;
    std::size_t first;  // column of cells[0]
    std::vector<std::string> cells;
  };
  static constexpr std::size_t kCachedRows = 4;
  static constexpr std::size_t kBand = 64;
  Window* w_;
  int feq_;
  int rows_ = 0;
  int cols_ = 0;
  mutable std::vector<Band> cache_;
};

namespace {

// Draws the right border of the columns whose FORMAT asks for one.
class BorderDelegate final : public QStyledItemDelegate {
 public:
  BorderDelegate(ListModel& model, QObject* parent) : QStyledItemDelegate(parent), model_(model) {}
  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyledItemDelegate::paint(p, option, index);
    if (model_.columnCount({}) > index.column() && model_.column(index.column()).right_border) {
      p->save();
      p->setPen(option.palette.color(QPalette::Mid));
      p->drawLine(option.rect.topRight(), option.rect.bottomRight());
      p->restore();
    }
  }

 private:
  ListModel& model_;
};

}  // namespace

class ListView final : public QTableView {
 public:
  ListView(QtBackend& b, Window& w, int feq, QWidget* parent) : QTableView(parent), b_(b), w_(&w), feq_(feq) {
    model_ = new ListModel(w, feq, this);
    setModel(model_);
    setItemDelegate(new BorderDelegate(*model_, this));
    setShowGrid(false);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setWordWrap(false);
    setHorizontalScrollMode(ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsMovable(false);
  }
  void detach() {
    w_ = nullptr;
    model_->detach();
  }
  ListModel& list_model() { return *model_; }

  // FORMAT: widths in dialog units, which columns the user may resize.
  void apply_format() {
    if (!w_) return;
    const ListFormat& f = w_->list_format(feq_);
    QHeaderView* h = horizontalHeader();
    bool headings = false;
    for (std::size_t k = 0; k < f.columns.size(); ++k) {
      const ListColumn& c = f.columns[k];
      int section = static_cast<int>(k);
      h->setSectionResizeMode(section, c.resizable ? QHeaderView::Interactive : QHeaderView::Fixed);
      h->resizeSection(section, std::max(1, b_.pixels_x(c.width)));
      headings = headings || !c.heading.empty();
    }
    h->setVisible(headings);
  }

  // The highlighted row follows the model's choice.
  void apply_choice(int choice) {
    QModelIndex cur = currentIndex();
    if (choice < 1 || choice > model_->rowCount({})) {
      if (cur.isValid()) clearSelection();
      return;
    }
    if (cur.isValid() && cur.row() == choice - 1 && selectionModel()->isRowSelected(cur.row(), {})) return;
    QModelIndex i = model_->index(choice - 1, cur.isValid() ? cur.column() : 0);
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(i);
  }

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    QModelIndex i = indexAt(e->position().toPoint());
    QTableView::mousePressEvent(e);
    if (w_ && i.isValid() && e->button() == Qt::LeftButton) {
      w_->user_click(feq_, static_cast<std::size_t>(i.row()) + 1, i.column() + 1);
      b_.wake();
    }
  }
  // The right button's row is the one under the mouse when it comes up, as
  // MouseRightUp says; a menu it opens then takes no stray release.
  void mouseReleaseEvent(QMouseEvent* e) override {
    QModelIndex i = indexAt(e->position().toPoint());
    QTableView::mouseReleaseEvent(e);
    if (w_ && i.isValid() && e->button() == Qt::RightButton) {
      if (w_->user_right_click(feq_, static_cast<std::size_t>(i.row()) + 1, i.column() + 1)) b_.wake();
    }
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    QModelIndex i = indexAt(e->position().toPoint());
    QTableView::mouseDoubleClickEvent(e);
    if (w_ && i.isValid() && e->button() == Qt::LeftButton) {
      w_->user_click(feq_, static_cast<std::size_t>(i.row()) + 1, i.column() + 1, true);
      b_.wake();
    }
  }
  void keyPressEvent(QKeyEvent* e) override {
    int before = currentIndex().isValid() ? currentIndex().row() : -1;
    if ((e->key() == Qt::Key_Home || e->key() == Qt::Key_End) && !(e->modifiers() & Qt::ControlModifier)) {
      // Home and End go to the first and last row of a list, not of a row.
      QKeyEvent rows(e->type(), e->key(), e->modifiers() | Qt::ControlModifier, e->text());
      QTableView::keyPressEvent(&rows);
    } else {
      QTableView::keyPressEvent(e);
    }
    int after = currentIndex().isValid() ? currentIndex().row() : -1;
    if (w_ && after >= 0 && after != before) {
      w_->user_highlight(feq_, static_cast<std::size_t>(after) + 1, key_code(*e));
      b_.wake();
    }
  }

 private:
  QtBackend& b_;
  Window* w_;
  int feq_;
  ListModel* model_;
};

// ---- a window ------------------------------------------------------------------------

class WindowView final : public QWidget {
 public:
  WindowView(QtBackend& b, Window& w) : b_(b), w_(&w) {
    setWindowIcon(QtBackend::program_icon());
    setAttribute(Qt::WA_DeleteOnClose, false);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] {
      if (!w_) return;
      w_->post_timer();
      b_.wake();
    });
    build();
  }

  Window* model() const { return w_; }
  QWidget* control(int feq) const {
    if (feq < 1 || static_cast<std::size_t>(feq) > controls_.size()) return nullptr;
    return controls_[static_cast<std::size_t>(feq - 1)].widget;
  }

  void detach() {
    timer_.stop();
    for (Slot& s : controls_) {
      if (auto* l = dynamic_cast<ListView*>(s.widget)) l->detach();
    }
    w_ = nullptr;
  }

  void apply_timer() {
    if (!w_) return;
    if (w_->timer() > 0) {
      timer_.start(w_->timer() * 10);
    } else {
      timer_.stop();
    }
  }

  void apply_window() {
    if (!w_) return;
    QString caption = to_qstring(w_->caption());
    if (windowTitle() != caption) setWindowTitle(caption);

    int min_w = b_.pixels_x(std::max(0, static_cast<int>(text::to_long(w_->property(PROP_MinWidth)))));
    int min_h = b_.pixels_y(std::max(0, static_cast<int>(text::to_long(w_->property(PROP_MinHeight)))));
    Rect at{text::to_long(w_->property(PROP_Xpos)), text::to_long(w_->property(PROP_Ypos)),
            text::to_long(w_->property(PROP_Width)), text::to_long(w_->property(PROP_Height))};
    bool resizable = !w_->property(PROP_Resize).empty();

    // The model's geometry is applied when the program changed it; what the
    // user did is already in the model.
    if (at.width != applied_.width || at.height != applied_.height) {
      // Without a size the window holds its controls with a margin.
      QRect kids = childrenRect();
      if (status_) kids = kids.united(QRect(0, 0, 1, 1));
      QSize s(at.width > 0 ? b_.pixels_x(at.width) : std::max(b_.pixels_x(100), kids.right() + b_.pixels_x(4)),
              (at.height > 0 ? b_.pixels_y(at.height) : std::max(b_.pixels_y(40), kids.bottom() + b_.pixels_y(4))) +
                  status_height_);
      applied_size_ = s;
      if (resizable) {
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(s);
      } else {
        setFixedSize(s);
      }
    }
    if (resizable) setMinimumSize(min_w, min_h + (min_h > 0 ? status_height_ : 0));
    if ((at.x != applied_.x || at.y != applied_.y) && at.x != Rect::kDefault && at.y != Rect::kDefault) {
      applied_pos_ = QPoint(b_.pixels_x(at.x), b_.pixels_y(at.y));
      move(applied_pos_);
    }
    applied_ = at;

    if (w_->hidden()) {
      if (isVisible()) hide();
      return;
    }
    Qt::WindowStates state = w_->iconized()                        ? Qt::WindowMinimized
                             : !w_->property(PROP_Maximize).empty() ? Qt::WindowMaximized
                                                                   : Qt::WindowNoState;
    if ((windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) != state) setWindowState(state);
    if (!isVisible()) {
      show();
      activateWindow();
      applied_pos_ = pos();
    }
  }

  void apply_all() {
    for (int feq = 1; feq <= static_cast<int>(controls_.size()); ++feq) apply(feq);
  }

  void apply(int feq) {
    if (!w_ || feq < 1 || static_cast<std::size_t>(feq) > controls_.size()) return;
    Slot& s = controls_[static_cast<std::size_t>(feq - 1)];
    const ControlDef& d = *w_->control(feq);
    syncing_ = true;
    if (d.type == ControlType::Tab) {
      if (auto* sheet = s.sheet ? dynamic_cast<QTabWidget*>(control(s.sheet)) : nullptr) {
        sheet->setTabText(s.tab_index, to_qstring(d.text));
        sheet->setTabVisible(s.tab_index, !d.hidden);
        sheet->setTabEnabled(s.tab_index, !d.disabled);
        sheet->setTabToolTip(s.tab_index, to_qstring(d.tip));
        apply_members(s.sheet);
      }
      syncing_ = false;
      return;
    }
    QWidget* wd = s.widget;
    if (!wd) {
      syncing_ = false;
      return;
    }
    place(s, d);
    wd->setEnabled(!d.disabled);
    QString tip = to_qstring(d.tip);
    if (wd->toolTip() != tip) wd->setToolTip(tip);
    switch (d.type) {
      case ControlType::Group: static_cast<QGroupBox*>(wd)->setTitle(to_qstring(d.text)); break;
      case ControlType::Prompt: {
        auto* l = static_cast<QLabel*>(wd);
        QString t = to_qstring(d.text);
        if (!l->buddy()) t = plain_caption(t);
        l->setText(t);
        break;
      }
      case ControlType::String: static_cast<QLabel*>(wd)->setText(to_qstring(w_->shown(feq))); break;
      case ControlType::Button: {
        auto* p = static_cast<QPushButton*>(wd);
        p->setText(to_qstring(d.text));
        p->setDefault(feq == w_->default_button());
        break;
      }
      case ControlType::Entry: {
        auto* e = static_cast<QLineEdit*>(wd);
        e->setReadOnly(d.readonly);
        if (std::string shown = w_->shown(feq); shown != s.applied_text || !e->isModified()) {
          if (e->text() != to_qstring(shown)) e->setText(to_qstring(shown));
          e->setModified(false);
          s.applied_text = shown;
        }
        break;
      }
      case ControlType::Text: {
        auto* e = static_cast<QPlainTextEdit*>(wd);
        e->setReadOnly(d.readonly);
        if (std::string shown = w_->shown(feq); shown != s.applied_text || !e->document()->isModified()) {
          QString t = to_qstring(shown);
          if (e->toPlainText() != t) e->setPlainText(t);
          e->document()->setModified(false);
          s.applied_text = shown;
        }
        break;
      }
      case ControlType::Check: {
        auto* c = static_cast<QCheckBox*>(wd);
        c->setText(to_qstring(d.text));
        c->setChecked(w_->checked(feq));
        break;
      }
      case ControlType::DropList:
      case ControlType::Combo: {
        auto* c = static_cast<QComboBox*>(wd);
        const std::vector<DropItem>& items = w_->items(feq);
        bool same = c->count() == static_cast<int>(items.size());
        for (int i = 0; same && i < c->count(); ++i) same = c->itemText(i) == to_qstring(items[static_cast<std::size_t>(i)].text);
        if (!same) {
          c->clear();
          for (const DropItem& it : items) c->addItem(to_qstring(it.text));
        }
        c->setCurrentIndex(w_->choice(feq) - 1);
        if (d.type == ControlType::Combo) {
          std::string shown = w_->shown(feq);
          if (shown != s.applied_text || !c->lineEdit()->isModified()) {
            c->setEditText(to_qstring(shown));
            c->lineEdit()->setModified(false);
            s.applied_text = shown;
          }
          c->lineEdit()->setReadOnly(d.readonly);
        }
        break;
      }
      case ControlType::List: {
        auto* l = static_cast<ListView*>(wd);
        std::string format = w_->property(feq, PROP_Format);
        if (format != s.applied_text) {
          l->list_model().refresh();
          l->apply_format();
          s.applied_text = format;
        } else {
          l->list_model().refresh();
        }
        l->apply_choice(w_->choice(feq));
        break;
      }
      case ControlType::Sheet: {
        auto* t = static_cast<QTabWidget*>(wd);
        int choice = w_->choice(feq);
        if (choice >= 1 && choice <= t->count() && t->currentIndex() != choice - 1) t->setCurrentIndex(choice - 1);
        apply_members(feq);
        break;
      }
      default: break;
    }
    syncing_ = false;
    wd->setVisible(visible(feq));
  }

  void focus(int feq) {
    if (QWidget* wd = control(feq)) wd->setFocus(Qt::OtherFocusReason);
  }

 protected:
  void closeEvent(QCloseEvent* e) override {
    e->ignore();  // the model decides: its default handling closes the window
    if (w_ && w_->user_close()) b_.wake();
  }
  void resizeEvent(QResizeEvent* e) override {
    QWidget::resizeEvent(e);
    if (status_) status_->setGeometry(0, height() - status_height_, width(), status_height_);
    if (!w_ || e->size() == applied_size_) return;
    applied_size_ = e->size();
    applied_.width = b_.units_x(e->size().width());
    applied_.height = b_.units_y(e->size().height() - status_height_);
    if (w_->user_sized(applied_.width, applied_.height)) b_.wake();
  }
  void moveEvent(QMoveEvent* e) override {
    QWidget::moveEvent(e);
    if (!w_ || !isVisible() || pos() == applied_pos_) return;
    applied_pos_ = pos();
    applied_.x = b_.units_x(pos().x());
    applied_.y = b_.units_y(pos().y());
    if (w_->user_moved(applied_.x, applied_.y)) b_.wake();
  }
  void changeEvent(QEvent* e) override {
    QWidget::changeEvent(e);
    if (w_ && e->type() == QEvent::WindowStateChange) {
      if (w_->user_state(isMinimized(), isMaximized())) b_.wake();
    }
  }
  void keyPressEvent(QKeyEvent* e) override {
    int code = key_code(*e);
    if (w_ && code && w_->user_key(0, code)) {
      b_.wake();
      return;
    }
    if (w_ && code == EnterKey && w_->user_enter()) {
      b_.wake();
      return;
    }
    QWidget::keyPressEvent(e);
  }
  bool eventFilter(QObject* obj, QEvent* ev) override {
    int feq = obj->property("qm_feq").toInt();
    if (!w_ || feq == 0) return QWidget::eventFilter(obj, ev);
    switch (ev->type()) {
      case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(ev);
        if (typed_on_list(feq, *k)) return true;
        int code = key_code(*k);
        if (code && w_->user_key(feq, code)) {
          b_.wake();
          return true;
        }
        if (code == EnterKey && enter_on(obj, ev, feq)) return true;
        break;
      }
      case QEvent::ToolTip: {
        // The display time is the process's (SYSTEM{PROP:TipDisplay}).
        auto* wd = qobject_cast<QWidget*>(obj);
        int ms = b_.tip_display_ms();
        if (wd && ms > 0) {
          QString tip = control(feq) ? control(feq)->toolTip() : QString();
          if (!tip.isEmpty()) {
            QToolTip::showText(static_cast<QHelpEvent*>(ev)->globalPos(), tip, wd, {}, ms);
            return true;
          }
        }
        break;
      }
      case QEvent::FocusOut:
        if (auto* t = dynamic_cast<QPlainTextEdit*>(control(feq)); t && obj == t) commit_text(feq);
        break;
      default: break;
    }
    return QWidget::eventFilter(obj, ev);
  }

 private:
  struct Slot {
    QWidget* widget = nullptr;
    int sheet = 0;       // a tab: its sheet
    int tab_index = 0;   // a tab: its place in the sheet
    int tab = 0;         // a control on a tab: that tab
    std::string applied_text;  // what the widget was last given from the model
  };

  // A character typed on a list goes to the model as the character itself
  // (KEYCHAR), not as the list's own search for a row.
  bool typed_on_list(int feq, const QKeyEvent& k) {
    const ControlDef* d = w_->control(feq);
    if (!d || d->type != ControlType::List) return false;
    if (k.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    const QString t = k.text();
    if (t.size() != 1 || t[0].unicode() < 0x20 || t[0].unicode() == 0x7F) return false;
    const std::optional<std::string> byte = to_bytes(t);
    if (!byte || !w_->user_char(feq, (*byte)[0])) return false;
    b_.wake();
    return true;
  }

  // Enter presses the window's default button; an entry keeps what was typed
  // in it first, and a multi-line text takes Enter as a new line.
  bool enter_on(QObject* obj, QEvent* ev, int feq) {
    const ControlDef* d = w_->control(feq);
    if (!d || d->type == ControlType::Text || !w_->default_button()) return false;
    if (qobject_cast<QLineEdit*>(obj)) obj->event(ev);
    if (!w_ || !w_->user_enter()) return false;
    // Taken: the entry's refusal of Enter must not send it on to the window.
    ev->accept();
    b_.wake();
    return true;
  }

 public:
  // The status bar shows the message of the control with the focus.
  void show_status(QWidget* now) {
    if (!w_ || !status_ || (now && now != this && !isAncestorOf(now))) return;
    const int feq = now ? now->property("qm_feq").toInt() : 0;
    const ControlDef* d = feq ? w_->control(feq) : nullptr;
    QString t = d ? to_qstring(d->msg) : QString();
    if (status_->currentMessage() != t) status_->showMessage(t);
  }

 private:
  void build() {
    std::size_t n = w_->controls();
    controls_.resize(n);
    int sheet = 0, tab = 0, tabs = 0;
    Rect area;
    for (int feq = 1; feq <= static_cast<int>(n); ++feq) {
      const ControlDef& d = *w_->control(feq);
      Slot& s = controls_[static_cast<std::size_t>(feq - 1)];
      if (d.type == ControlType::Sheet) {
        sheet = feq;
        tab = 0;
        tabs = 0;
        area = d.at;
      } else if (d.type == ControlType::Tab) {
        if (sheet) {
          tab = feq;
          s.sheet = sheet;
          s.tab_index = tabs++;
        }
        continue;
      } else if (d.parent >= 1 && d.parent < feq && w_->control(d.parent)->type == ControlType::Tab) {
        // A control that names its tab sits on it.
        s.tab = controls_[static_cast<std::size_t>(d.parent - 1)].sheet ? d.parent : 0;
      } else if (tab) {
        // Controls after a tab sit on it while they lie inside the sheet.
        bool inside = d.at.x >= area.x && d.at.y >= area.y && (area.width < 0 || d.at.x < area.x + area.width) &&
                      (area.height < 0 || d.at.y < area.y + area.height);
        if (inside) {
          s.tab = tab;
        } else {
          sheet = tab = 0;
        }
      }
      s.widget = make(feq, d);
      if (s.widget) {
        s.widget->setProperty("qm_feq", feq);
        s.widget->installEventFilter(this);
        for (QWidget* child : s.widget->findChildren<QWidget*>()) {
          child->setProperty("qm_feq", feq);
          child->installEventFilter(this);
        }
      }
    }
    // A prompt's "&" letter takes the focus to the control after it.
    for (int feq = 1; feq <= static_cast<int>(n); ++feq) {
      if (w_->control(feq)->type != ControlType::Prompt) continue;
      for (int next = feq + 1; next <= static_cast<int>(n); ++next) {
        ControlType t = w_->control(next)->type;
        if (t == ControlType::Prompt || t == ControlType::Group || t == ControlType::Line || t == ControlType::String ||
            t == ControlType::Tab || !control(next)) {
          continue;
        }
        static_cast<QLabel*>(control(feq))->setBuddy(control(next));
        break;
      }
    }
    for (int feq = 1; feq <= static_cast<int>(n); ++feq) {
      const Slot& s = controls_[static_cast<std::size_t>(feq - 1)];
      if (s.sheet) {
        static_cast<QTabWidget*>(control(s.sheet))->addTab(new QWidget, to_qstring(w_->control(feq)->text));
      }
    }
    // Below the controls, the status bar of a window defined with one.
    if (w_->has_status_bar()) {
      status_ = new QStatusBar(this);
      status_->setSizeGripEnabled(false);
      status_height_ = status_->sizeHint().height();
    }
  }

  QWidget* make(int feq, const ControlDef& d) {
    switch (d.type) {
      case ControlType::Group: return new QGroupBox(this);
      case ControlType::Prompt:
      case ControlType::String: {
        auto* l = new QLabel(this);
        l->setTextFormat(Qt::PlainText);
        return l;
      }
      case ControlType::Entry: {
        auto* e = new QLineEdit(this);
        e->setValidator(new CodePageValidator(e));
        if (d.picture.size() > 1 && (d.picture[1] == 's' || d.picture[1] == 'S')) e->setMaxLength(picture_chars(d.picture));
        QObject::connect(e, &QLineEdit::editingFinished, this, [this, feq, e] {
          if (!w_ || !e->isModified() || syncing_) return;
          e->setModified(false);
          if (auto bytes = to_bytes(e->text()); bytes && w_->user_type(feq, *bytes)) b_.wake();
          apply(feq);
        });
        return e;
      }
      case ControlType::Text: {
        auto* t = new TextEdit(this);
        t->setTabChangesFocus(true);
        return t;
      }
      case ControlType::Check: {
        auto* c = new QCheckBox(this);
        QObject::connect(c, &QCheckBox::clicked, this, [this, feq](bool on) {
          if (!w_ || syncing_) return;
          if (w_->user_check(feq, on)) b_.wake();
          apply(feq);
        });
        return c;
      }
      case ControlType::DropList:
      case ControlType::Combo: {
        auto* c = new QComboBox(this);
        if (d.type == ControlType::Combo) {
          c->setEditable(true);
          c->setInsertPolicy(QComboBox::NoInsert);
          c->lineEdit()->setValidator(new CodePageValidator(c));
          QObject::connect(c->lineEdit(), &QLineEdit::editingFinished, this, [this, feq, c] {
            if (!w_ || !c->lineEdit()->isModified() || syncing_) return;
            c->lineEdit()->setModified(false);
            if (auto bytes = to_bytes(c->currentText()); bytes && w_->user_type(feq, *bytes)) b_.wake();
            apply(feq);
          });
        }
        QObject::connect(c, &QComboBox::activated, this, [this, feq](int i) {
          if (!w_ || syncing_) return;
          if (w_->user_choose(feq, i + 1)) b_.wake();
          apply(feq);
        });
        return c;
      }
      case ControlType::Button: {
        auto* p = new QPushButton(this);
        p->setAutoDefault(false);
        QObject::connect(p, &QPushButton::clicked, this, [this, feq] {
          if (w_ && w_->user_press(feq)) b_.wake();
        });
        return p;
      }
      case ControlType::Line: {
        auto* f = new QFrame(this);
        f->setFrameShape(QFrame::HLine);
        f->setFrameShadow(QFrame::Sunken);
        return f;
      }
      case ControlType::List: return new ListView(b_, *w_, feq, this);
      case ControlType::Sheet: {
        auto* t = new QTabWidget(this);
        QObject::connect(t, &QTabWidget::currentChanged, this, [this, feq, t](int i) {
          if (!w_ || syncing_ || i < 0) return;
          if (w_->user_choose(feq, i + 1)) b_.wake();
          syncing_ = true;
          int choice = w_->choice(feq);
          if (choice >= 1 && choice - 1 != t->currentIndex()) t->setCurrentIndex(choice - 1);
          syncing_ = false;
          apply_members(feq);
        });
        return t;
      }
      case ControlType::Tab: return nullptr;
    }
    return nullptr;
  }

  void commit_text(int feq) {
    auto* t = static_cast<QPlainTextEdit*>(control(feq));
    if (!w_ || !t->document()->isModified()) return;
    t->document()->setModified(false);
    if (auto bytes = to_bytes(t->toPlainText()); bytes && w_->user_type(feq, *bytes)) b_.wake();
    apply(feq);
  }

  // AT() in dialog units; a part left to the control takes its natural size
  // (an entry: the width of its picture).
  void place(Slot& s, const ControlDef& d) {
    QWidget* wd = s.widget;
    QSize hint = wd->sizeHint();
    int x = d.at.x >= 0 ? b_.pixels_x(d.at.x) : 0;
    int y = d.at.y >= 0 ? b_.pixels_y(d.at.y) : 0;
    int width = d.at.width >= 0 ? b_.pixels_x(d.at.width)
                : d.type == ControlType::Entry ? b_.pixels_x(picture_chars(d.picture) * 4 + 4)
                                               : hint.width();
    int height = d.at.height >= 0 ? b_.pixels_y(d.at.height) : hint.height();
    QRect r(x, y, width, height);
    if (wd->geometry() != r) wd->setGeometry(r);
  }

  bool visible(int feq) const {
    const ControlDef& d = *w_->control(feq);
    if (d.hidden) return false;
    const Slot& s = controls_[static_cast<std::size_t>(feq - 1)];
    if (!s.tab) return true;
    const Slot& tab = controls_[static_cast<std::size_t>(s.tab - 1)];
    auto* sheet = static_cast<QTabWidget*>(control(tab.sheet));
    return !w_->control(s.tab)->hidden && sheet->currentIndex() == tab.tab_index && visible(tab.sheet);
  }

  // The controls on a sheet's tabs show while their tab is the current one.
  void apply_members(int sheet) {
    for (int feq = 1; feq <= static_cast<int>(controls_.size()); ++feq) {
      const Slot& s = controls_[static_cast<std::size_t>(feq - 1)];
      if (s.tab && s.widget && controls_[static_cast<std::size_t>(s.tab - 1)].sheet == sheet) {
        s.widget->setVisible(visible(feq));
      }
    }
  }

  QtBackend& b_;
  Window* w_;
  std::vector<Slot> controls_;
  QTimer timer_;
  Rect applied_{-2, -2, -2, -2};
  QSize applied_size_;
  QPoint applied_pos_;
  bool syncing_ = false;
  QStatusBar* status_ = nullptr;
  int status_height_ = 0;
};

// ---- the backend -----------------------------------------------------------------------

struct QtBackend::Wait {
  Window* window;
  QEventLoop* loop;
};

QtBackend::QtBackend(int& argc, char** argv) : app_(std::make_unique<QApplication>(argc, argv)) {
  QApplication::setStyle(new TipStyle);
  QApplication::setWindowIcon(program_icon());
  QFontMetrics fm(QApplication::font());
  // The dialog font's base units, as Windows measures them.
  int letters = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  base_x_ = std::max(1, (letters / 26 + 1) / 2);
  base_y_ = std::max(1, fm.height());
  QObject::connect(app_.get(), &QApplication::focusChanged, app_.get(), [this](QWidget*, QWidget* now) {
    for (auto& [w, v] : views_) v->show_status(now);
  });
}

QtBackend::~QtBackend() {
  if (&backend() == this) set_backend(nullptr);
  for (auto& [w, v] : views_) {
    v->detach();
    delete v;
  }
  views_.clear();
  // The views of windows closed last are still waiting to be deleted.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int QtBackend::pixels_x(int units) const { return (units * base_x_ + 2) / 4; }
int QtBackend::pixels_y(int units) const { return (units * base_y_ + 4) / 8; }
int QtBackend::units_x(int pixels) const { return (pixels * 4 + base_x_ / 2) / base_x_; }
int QtBackend::units_y(int pixels) const { return (pixels * 8 + base_y_ / 2) / base_y_; }

WindowView* QtBackend::view(const Window& w) const {
  auto it = views_.find(&w);
  return it == views_.end() ? nullptr : it->second;
}

QWidget* QtBackend::widget(const Window& w) const { return view(w); }

QWidget* QtBackend::widget(const Window& w, int control) const {
  WindowView* v = view(w);
  if (!v) return nullptr;
  const ControlDef* d = w.control(control);
  if (d && d->type == ControlType::Tab) {
    for (int s = control - 1; s >= 1; --s) {
      if (w.control(s)->type == ControlType::Sheet) return v->control(s);
    }
    return nullptr;
  }
  return v->control(control);
}

void QtBackend::opened(Window& w) {
  if (view(w)) return;
  auto* v = new WindowView(*this, w);
  views_[&w] = v;
  v->apply_all();
  v->apply_window();
  v->apply_timer();
}

void QtBackend::closed(Window& w) {
  WindowView* v = view(w);
  if (!v) return;
  views_.erase(&w);
  v->detach();
  v->hide();
  v->deleteLater();  // a slot of one of its widgets may be running
}

void QtBackend::changed(Window& w, int control) {
  WindowView* v = view(w);
  if (!v) return;
  if (control == 0) {
    v->apply_all();
    v->apply_window();
  } else {
    v->apply(control);
  }
}

void QtBackend::selected(Window& w, int control) {
  if (WindowView* v = view(w)) {
    v->apply(control);
    v->focus(control);
  }
}

void QtBackend::timer_changed(Window& w) {
  if (WindowView* v = view(w)) v->apply_timer();
}

bool QtBackend::wait(Window& w) {
  if (w.has_events()) return true;
  if (!view(w)) return false;
  QEventLoop loop;
  Wait frame{&w, &loop};
  waits_.push_back(&frame);
  loop.exec();
  waits_.pop_back();
  return w.has_events();
}

void QtBackend::wake() {
  if (waits_.empty()) return;
  Wait* f = waits_.back();
  if (f->window->has_events() || !f->window->is_open()) f->loop->quit();
}

bool QtBackend::waiting() const { return !waits_.empty() && modal_depth_ == 0; }

int QtBackend::tip_display_ms() const {
  return static_cast<int>(std::max<std::int32_t>(0, text::to_long(system_property(PROP_TipDisplay)))) * 10;
}

void QtBackend::on_modal(std::function<void(QWidget&)> hook) { modal_hooks_.push_back(std::move(hook)); }
void QtBackend::set_opener(std::function<void(const QUrl&)> opener) { opener_ = std::move(opener); }

void QtBackend::run_modal(QWidget& dialog, const std::function<int()>& exec) {
  if (!modal_hooks_.empty()) {
    auto hook = std::move(modal_hooks_.front());
    modal_hooks_.pop_front();
    QTimer::singleShot(0, &dialog, [&dialog, hook] { hook(dialog); });
  }
  ++modal_depth_;
  exec();
  --modal_depth_;
}

namespace {

QWidget* owner_widget(const QtBackend& b) {
  Window* w = current();
  return w ? b.widget(*w) : nullptr;
}

struct ButtonMap {
  int button;
  QMessageBox::StandardButton standard;
};
constexpr ButtonMap kButtons[] = {
    {BUTTON_OK, QMessageBox::Ok},         {BUTTON_YES, QMessageBox::Yes},      {BUTTON_NO, QMessageBox::No},
    {BUTTON_ABORT, QMessageBox::Abort},   {BUTTON_RETRY, QMessageBox::Retry},  {BUTTON_IGNORE, QMessageBox::Ignore},
    {BUTTON_CANCEL, QMessageBox::Cancel}, {BUTTON_HELP, QMessageBox::Help},
};

}  // namespace

int QtBackend::message(const MessageRequest& request) {
  std::string body = request.text;
  std::replace(body.begin(), body.end(), '|', '\n');
  QMessageBox box(owner_widget(*this));
  box.setWindowTitle(to_qstring(request.caption));
  box.setText(to_qstring(body));
  box.setTextFormat(Qt::PlainText);
  switch (request.icon) {
    case Icon::Hand: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Asterisk: box.setIcon(QMessageBox::Information); break;
    case Icon::Application: box.setIconPixmap(program_icon().pixmap(32, 32)); break;
    case Icon::None: break;
  }
  for (const ButtonMap& m : kButtons) {
    if (request.buttons & m.button) box.addButton(m.standard);
  }
  for (const ButtonMap& m : kButtons) {
    if (request.default_button == m.button) box.setDefaultButton(m.standard);
  }
  // Escape and the close box give the answer a "Cancel" would, else "No",
  // else the default button.
  int escape = request.buttons & BUTTON_CANCEL ? BUTTON_CANCEL
               : request.buttons & BUTTON_NO   ? BUTTON_NO
                                               : request.default_button;
  for (const ButtonMap& m : kButtons) {
    if (escape == m.button) box.setEscapeButton(m.standard);
  }
  run_modal(box, [&] { return box.exec(); });
  QMessageBox::StandardButton chosen = box.clickedButton() ? box.standardButton(box.clickedButton())
                                                           : QMessageBox::NoButton;
  for (const ButtonMap& m : kButtons) {
    if (m.standard == chosen) return m.button;
  }
  return escape;
}

int QtBackend::popup(const PopupRequest& request) {
  QMenu menu(owner_widget(*this));
  std::vector<QAction*> items;
  std::string_view rest = request.items;
  for (;;) {
    const std::size_t bar = rest.find('|');
    std::string_view item = rest.substr(0, bar);
    if (item == "-") {
      menu.addSeparator();
    } else {
      const bool disabled = !item.empty() && item[0] == '~';
      if (disabled) item.remove_prefix(1);
      QAction* a = menu.addAction(to_qstring(item));
      a->setEnabled(!disabled);
      items.push_back(a);
    }
    if (bar == std::string_view::npos) break;
    rest.remove_prefix(bar + 1);
  }
  QAction* chosen = nullptr;
  run_modal(menu, [&] {
    chosen = menu.exec(QCursor::pos());
    return 0;
  });
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i] == chosen && chosen->isEnabled()) return static_cast<int>(i) + 1;
  }
  return 0;
}

QStringList QtBackend::name_filters(std::string_view extensions) {
  // "desc|mask|desc|mask"; masks within one are separated by ";".
  std::vector<std::string> parts;
  std::string part;
  for (char c : extensions) {
    if (c == '|') {
      parts.push_back(std::move(part));
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(std::move(part));
  QStringList filters;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    QStringList masks = to_qstring(parts[i + 1]).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& m : masks) m = m.trimmed();
    filters << to_qstring(parts[i]) + QStringLiteral(" (") + masks.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return filters;
}

bool QtBackend::file_dialog(const FileRequest& request, std::string& chosen) {
  QFileDialog dlg(owner_widget(*this), to_qstring(request.title));
  dlg.setOption(QFileDialog::DontUseNativeDialog);
  dlg.setOption(QFileDialog::DontConfirmOverwrite);  // asked below, as every backend asks
  bool folder = request.flags & FILE_Directory;
  bool save = !folder && (request.flags & FILE_Save);
  if (folder) {
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly);
  } else if (save) {
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
  } else {
    dlg.setFileMode(QFileDialog::ExistingFile);
  }
  QStringList filters = name_filters(request.extensions);
  if (!folder && !filters.isEmpty()) dlg.setNameFilters(filters);
  // Masks match names in any letter case, as on the system the tables come
  // from: "*.TPS" lists a.tps and B.Tps too.
  dlg.setFilter(dlg.filter() & ~QDir::CaseSensitive);

  // The proposed name's folder, or the working one where it does not exist.
  std::filesystem::path proposed = request.file.empty() ? std::filesystem::path() : files::os_path(request.file);
  std::error_code ec;
  std::filesystem::path dir = folder ? proposed : proposed.parent_path();
  if (dir.empty() || !std::filesystem::is_directory(dir, ec)) dir = std::filesystem::current_path(ec);
  dlg.setDirectory(QFile::decodeName(QByteArray::fromStdString(dir.string())));
  if (!folder && proposed.has_filename()) dlg.selectFile(QFile::decodeName(QByteArray::fromStdString(proposed.filename().string())));

  for (;;) {
    int result = QDialog::Rejected;
    run_modal(dlg, [&] { return result = dlg.exec(); });
    if (result != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
    std::string name = QFile::encodeName(dlg.selectedFiles().front()).toStdString();
    if (save && std::filesystem::exists(files::os_path(name), ec)) {
      if (message(overwrite_question(request, name)) != BUTTON_YES) continue;
    }
    chosen = name;
    return true;
  }
}

void QtBackend::set_clipboard(std::string_view text) { QApplication::clipboard()->setText(to_qstring(text)); }

std::string QtBackend::clipboard() {
  // Characters outside the code page cannot reach the model: none are pasted.
  return to_bytes(QApplication::clipboard()->text()).value_or(std::string());
}

void QtBackend::open_document(std::int64_t, std::string_view file) {
  QUrl url = QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(files::os_path(file).string())));
  if (opener_) {
    opener_(url);
  } else {
    QDesktopServices::openUrl(url);
  }
}

QIcon QtBackend::program_icon() {
  // A sheet of table rows with an arrow out of it: a table leaving as text.
  QIcon icon;
  for (int size : {16, 32, 48}) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    qreal u = size / 16.0;
    QRectF sheet(1 * u, 1 * u, 11 * u, 14 * u);
    p.setPen(QPen(QColor(30, 60, 120), std::max(1.0, u)));
    p.setBrush(QColor(245, 248, 255));
    p.drawRect(sheet);
    p.fillRect(QRectF(1.5 * u, 1.5 * u, 10 * u, 3 * u), QColor(60, 110, 190));
    p.setPen(QPen(QColor(120, 140, 180), std::max(1.0, u / 2)));
    for (int r = 1; r <= 3; ++r) p.drawLine(QPointF(2 * u, (4.5 + 3 * r) * u), QPointF(11 * u, (4.5 + 3 * r) * u));
    p.drawLine(QPointF(6.5 * u, 4.5 * u), QPointF(6.5 * u, 14.5 * u));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 150, 60));
    QPolygonF arrow;
    arrow << QPointF(8 * u, 8 * u) << QPointF(12 * u, 8 * u) << QPointF(12 * u, 5.5 * u) << QPointF(15.5 * u, 10 * u)
          << QPointF(12 * u, 14.5 * u) << QPointF(12 * u, 12 * u) << QPointF(8 * u, 12 * u);
    p.drawPolygon(arrow);
    p.end();
    icon.addPixmap(pm);
  }
  return icon;
}

// ---- choosing --------------------------------------------------------------------------

bool desktop_available() {
  return set_in_env("DISPLAY") || set_in_env("WAYLAND_DISPLAY") || set_in_env("QT_QPA_PLATFORM");
}

std::unique_ptr<Backend> install_desktop(int& argc, char** argv) {
  auto b = std::make_unique<QtBackend>(argc, argv);
  set_backend(b.get());
  return b;
}

}  // namespace window
