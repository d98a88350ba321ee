// Writes the default bill template, Tovik.xltx: one landscape A4 sheet
// "送货单" whose cells the bill print fills in. The program relies only on these places:
//   row 4      A "客户：…", K "日期：…", O "№ …"
//   rows 6–13  eight bill lines: A article, B product-colour, C–L piece
//              weights, M KG, N unit price, O amount
//   row 14     B amount in capitals, H pieces, K KG, N "￥" amount
//   row 16     A, C, F, J staff names
// Everything else (heading, captions, fonts, borders, page set-up) is the
// template's own and may be restyled in any spreadsheet application.
//
// Usage: make_template <output.xltx>

#include <xlsxwriter.h>
#include <zip.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace {

constexpr int kFirstColumn = 0;  // A
constexpr int kLastColumn = 14;  // O
constexpr int kTableTop = 4;     // row 5, zero-based
constexpr int kTableBottom = 13; // row 14
constexpr const char *kFont = "宋体";

enum class Role {
    Title, HeaderLeft, HeaderRight, Caption, Article, Product, Piece, Weight, Money,
    TotalLabel, Capitals, TotalCentre, TotalMoney, Staff, Note, Signature
};

struct Builder
{
    lxw_workbook *workbook = nullptr;
    lxw_worksheet *sheet = nullptr;
    std::map<std::pair<Role, int>, lxw_format *> formats;

    // The table (rows 5–14) has a medium outline and thin lines inside.
    int bordersAt(int row, int column) const
    {
        if (row < kTableTop || row > kTableBottom)
            return 0;
        return (row == kTableTop ? 1 : 0) | (row == kTableBottom ? 2 : 0) | (column == kFirstColumn ? 4 : 0)
               | (column == kLastColumn ? 8 : 0) | 16;
    }

    lxw_format *format(Role role, int row, int column)
    {
        const int borders = bordersAt(row, column);
        lxw_format *&f = formats[{role, borders}];
        if (f)
            return f;
        f = workbook_add_format(workbook);
        format_set_font_name(f, kFont);
        format_set_font_size(f, 10.5);
        format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
        if (borders & 16) {
            format_set_top(f, borders & 1 ? LXW_BORDER_MEDIUM : LXW_BORDER_THIN);
            format_set_bottom(f, borders & 2 ? LXW_BORDER_MEDIUM : LXW_BORDER_THIN);
            format_set_left(f, borders & 4 ? LXW_BORDER_MEDIUM : LXW_BORDER_THIN);
            format_set_right(f, borders & 8 ? LXW_BORDER_MEDIUM : LXW_BORDER_THIN);
        }
        switch (role) {
        case Role::Title:
            format_set_font_size(f, 22);
            format_set_bold(f);
            format_set_align(f, LXW_ALIGN_CENTER);
            break;
        case Role::HeaderLeft:
            format_set_font_size(f, 11);
            format_set_align(f, LXW_ALIGN_LEFT);
            break;
        case Role::HeaderRight:
            format_set_font_size(f, 11);
            format_set_bold(f);
            format_set_align(f, LXW_ALIGN_RIGHT);
            break;
        case Role::Caption:
            format_set_bold(f);
            format_set_align(f, LXW_ALIGN_CENTER);
            format_set_bg_color(f, 0xEDEDED);
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_num_format(f, "@");
            break;
        case Role::Article:
            format_set_align(f, LXW_ALIGN_CENTER);
            format_set_num_format(f, "@");
            format_set_shrink(f);
            break;
        case Role::Product:
            format_set_align(f, LXW_ALIGN_LEFT);
            format_set_shrink(f);
            format_set_num_format(f, "@");
            break;
        // Value cells shrink rather than show "###" should a value ever
        // outgrow the widths chosen below.
        case Role::Piece:
            format_set_font_size(f, 10);
            format_set_align(f, LXW_ALIGN_CENTER);
            format_set_shrink(f);
            break;
        case Role::Weight:
            format_set_align(f, LXW_ALIGN_RIGHT);
            format_set_shrink(f);
            break;
        case Role::Money:
            format_set_align(f, LXW_ALIGN_RIGHT);
            format_set_num_format(f, "0.00");
            format_set_shrink(f);
            break;
        case Role::TotalLabel:
            format_set_bold(f);
            format_set_align(f, LXW_ALIGN_CENTER);
            break;
        case Role::Capitals:
            format_set_bold(f);
            format_set_align(f, LXW_ALIGN_LEFT);
            format_set_shrink(f);
            break;
        case Role::TotalCentre:
            format_set_align(f, LXW_ALIGN_CENTER);
            format_set_shrink(f);
            break;
        case Role::TotalMoney:
            format_set_bold(f);
            format_set_align(f, LXW_ALIGN_RIGHT);
            format_set_shrink(f);
            break;
        case Role::Staff:
            format_set_align(f, LXW_ALIGN_LEFT);
            break;
        case Role::Note:
            format_set_font_size(f, 9);
            format_set_font_color(f, 0x595959);
            format_set_align(f, LXW_ALIGN_LEFT);
            break;
        case Role::Signature:
            format_set_align(f, LXW_ALIGN_LEFT);
            format_set_bottom(f, LXW_BORDER_THIN);
            break;
        }
        return f;
    }

    // A merged range whose cells each keep the borders of their place.
    void merge(int row, int firstColumn, int lastColumn, const char *text, Role role)
    {
        worksheet_merge_range(sheet, row, firstColumn, row, lastColumn, text, format(role, row, firstColumn));
        for (int column = firstColumn + 1; column <= lastColumn; ++column)
            worksheet_write_blank(sheet, row, column, format(role, row, column));
    }

    void cell(int row, int column, const char *text, Role role)
    {
        if (text && *text)
            worksheet_write_string(sheet, row, column, text, format(role, row, column));
        else
            worksheet_write_blank(sheet, row, column, format(role, row, column));
    }
};

// Column width in millimetres as the character width libxlsxwriter takes.
double widthOf(double millimetres)
{
    const double pixels = millimetres / 25.4 * 96;
    return (pixels - 5) / 7;
}

void layOut(Builder &b)
{
    // Fifteen columns of figures read best across the long side of the sheet.
    worksheet_set_paper(b.sheet, 9); // A4
    worksheet_set_landscape(b.sheet);
    worksheet_set_margins(b.sheet, 0.4, 0.4, 0.5, 0.5);
    worksheet_center_horizontally(b.sheet);
    worksheet_fit_to_pages(b.sheet, 1, 0); // one page wide, as long as needed
    worksheet_print_area(b.sheet, 0, kFirstColumn, 17, kLastColumn);
    worksheet_gridlines(b.sheet, LXW_HIDE_ALL_GRIDLINES);
    worksheet_set_default_row(b.sheet, 18, LXW_FALSE);

    // Wide enough for the largest values a bill holds, at 100 %: an article
    // number of 12 characters, piece weights up to 9999.9, a KG total up to
    // 99999.9, prices up to 9999.99 and amounts up to 9999999.99.
    worksheet_set_column(b.sheet, 0, 0, widthOf(29), nullptr);   // article
    worksheet_set_column(b.sheet, 1, 1, widthOf(38), nullptr);   // product-colour
    worksheet_set_column(b.sheet, 2, 11, widthOf(14), nullptr);  // ten pieces
    worksheet_set_column(b.sheet, 12, 12, widthOf(20), nullptr); // KG
    worksheet_set_column(b.sheet, 13, 13, widthOf(18), nullptr); // price
    worksheet_set_column(b.sheet, 14, 14, widthOf(27), nullptr); // amount

    // Heights in whole pixels (0.75 pt), which a spreadsheet application
    // re-saving the template keeps as they are.
    const double heights[18] = {36, 6, 6, 22.5, 22.5, 22.5, 22.5, 22.5, 22.5, 22.5, 22.5, 22.5, 22.5, 24, 9, 22.5, 9, 19.5};
    for (int row = 0; row < 18; ++row)
        worksheet_set_row(b.sheet, row, heights[row], nullptr);

    b.merge(0, 0, 14, "送  货  单", Role::Title);

    b.merge(3, 0, 9, "客户：", Role::HeaderLeft);
    b.merge(3, 10, 12, "日期：", Role::HeaderLeft);
    b.cell(3, 14, "№ ", Role::HeaderRight);

    const char *captions[15] = {"编号", "品名-色号", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "KG", "单价", "金额"};
    for (int column = 0; column < 15; ++column)
        b.cell(4, column, captions[column], Role::Caption);

    for (int row = 5; row <= 12; ++row) {
        b.cell(row, 0, nullptr, Role::Article);
        b.cell(row, 1, nullptr, Role::Product);
        for (int column = 2; column <= 11; ++column)
            b.cell(row, column, nullptr, Role::Piece);
        b.cell(row, 12, nullptr, Role::Weight);
        b.cell(row, 13, nullptr, Role::Money);
        b.cell(row, 14, nullptr, Role::Money);
    }

    b.cell(13, 0, "合计", Role::TotalLabel);
    b.merge(13, 1, 6, "", Role::Capitals);
    b.merge(13, 7, 9, "", Role::TotalCentre);
    b.merge(13, 10, 12, "", Role::TotalCentre);
    b.merge(13, 13, 14, "", Role::TotalMoney);

    b.merge(15, 0, 1, "制单人：", Role::Staff);
    b.merge(15, 2, 4, "业务员：", Role::Staff);
    b.merge(15, 5, 8, "收款人：", Role::Staff);
    b.merge(15, 9, 12, "送货人：", Role::Staff);

    b.merge(17, 0, 8, "货物请当面点清，如有异议请于收货后七日内提出。", Role::Note);
    b.merge(17, 9, 14, "客户签收：", Role::Signature);
}

// libxlsxwriter writes a workbook; a template differs only in the content
// type of its main part, which spreadsheet applications check.
bool markAsTemplate(const char *path)
{
    int code = 0;
    zip_t *archive = zip_open(path, 0, &code);
    if (!archive)
        return false;
    const char *name = "[Content_Types].xml";
    zip_stat_t stat;
    zip_file_t *file = zip_stat(archive, name, 0, &stat) == 0 ? zip_fopen(archive, name, 0) : nullptr;
    if (!file) {
        zip_discard(archive);
        return false;
    }
    std::string text(stat.size, '\0');
    const zip_int64_t read = zip_fread(file, text.data(), stat.size);
    zip_fclose(file);
    const std::string from = "spreadsheetml.sheet.main+xml";
    const std::string to = "spreadsheetml.template.main+xml";
    const std::size_t at = text.find(from);
    if (read != zip_int64_t(stat.size) || at == std::string::npos) {
        zip_discard(archive);
        return false;
    }
    text.replace(at, from.size(), to);
    // The source keeps the buffer until zip_close has written it.
    zip_source_t *source = zip_source_buffer(archive, text.data(), text.size(), 0);
    if (!source || zip_file_add(archive, name, source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
        zip_source_free(source);
        zip_discard(archive);
        return false;
    }
    return zip_close(archive) == 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.xltx>\n", argv[0]);
        return 2;
    }
    Builder b;
    b.workbook = workbook_new(argv[1]);
    if (!b.workbook) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    // A fixed date keeps the generated file the same from build to build.
    lxw_doc_properties properties{};
    properties.title = const_cast<char *>("送货单");
    properties.created = 1704067200; // 2024-01-01
    workbook_set_properties(b.workbook, &properties);
    b.sheet = workbook_add_worksheet(b.workbook, "送货单");
    layOut(b);
    if (const lxw_error error = workbook_close(b.workbook); error != LXW_NO_ERROR) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[1], lxw_strerror(error));
        return 1;
    }
    if (!markAsTemplate(argv[1])) {
        std::fprintf(stderr, "cannot mark %s as a template\n", argv[1]);
        return 1;
    }
    return 0;
}
