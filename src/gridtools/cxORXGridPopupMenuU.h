#pragma once
// The context menu of a result grid. A screen attaches it to one table view; it then offers commands on
// the focused column (sorting, footer summaries, alignment, serial-number tracking and copying) and on the
// whole view (export, print, column widths, row heights, grouping and selection modes). The items are
// built on the first opening and kept; their check marks and enabled states are recomputed from the view
// on every opening, so the menu keeps no state of its own beyond the two visibility sets and the view.
// When the view is destroyed the menu forgets it and opens with every item disabled.

#include <initializer_list>
#include <set>
#include <string>
#include <string_view>

#include "platform/Controls.h"
#include "platform/Grid.h"
#include "platform/Menus.h"

namespace jxc {

enum TORXcxGridPopupMenuVisableItem {
  viAscDesc, viAggregtes, viAlign, viOutFile, viShowGroup, viShowHintCloum, viBestColumWidth, viAutoRowHeight,
  viAutoColumWidth, viShowFilter, viBand, viColum, viFigure, viColorSetup, viPrint, viSaveSetup,
  viSaveSetupAndToDatabase, viClearSetup, viRefreshLoad,
};
enum TORXcxGridPopupMenuVisableOtherItem {
  viOtherSelect, viOtherCreateAllItems, viOtherAutoSumNum, viOtherShowConfluence, viOtherShowHeader,
  viOtherFocusCellOnTab, viOtherGoToNextCellOnEnter, viOtherDirectionKeyMoveColumn,
  viOtherColumnsQuickCustomization, viOtherColumnFiltering, viOtherColumnHorzSizing, viOtherDataRowSizing,
  viOtherIndicator, viOtherAutoDataSetFilter, viOtherDisplayFormat, viOtherControlFields,
  viOtherTableViewCanEdit, viOtherFullExpand, viOtherFullCollapse,
};
using TORXcxGridPopupMenuVisableItems = std::set<TORXcxGridPopupMenuVisableItem>;
using TORXcxGridPopupMenuVisableOtherItems = std::set<TORXcxGridPopupMenuVisableOtherItem>;

enum TOutFileType { otExcel, otXML, otText, otHtml };

// What serial tracking needs of the screen it opens: the query screens take their WHERE clause this way
// (and run it with their "actQuery" action).
class IFilteredScreen {
 public:
  virtual ~IFilteredScreen() = default;
  virtual void SetFilter(const std::string& where) = 0;
};

// Field types whose columns can be summed, and the text types; filled when the first menu is made.
const std::set<TFieldType>& NumericFieldTypes();
const std::set<TFieldType>& TextFieldTypes();

class TORXcxGridPopupMenu : public TPopupMenu {
 public:
  // Links the owner when the owner is a table view.
  explicit TORXcxGridPopupMenu(TComponent* owner = nullptr);
  ~TORXcxGridPopupMenu() override;
  std::string ClassName() const override { return "TORXcxGridPopupMenu"; }

  TGridTableView* LinkTableView() const { return view_; }
  void SetLinkTableView(TGridTableView* view);
  // The grid control showing the linked view, or null.
  TGrid* GetLinkGrid() const;

  TORXcxGridPopupMenuVisableItems VisableItem;            // default: all members
  TORXcxGridPopupMenuVisableOtherItems VisableOtherItem;  // default: all members
  bool AutoApplyBestFit = true;
  bool Hide = false;
  // Folder for GetFilename: the folder followed directly by the name when set, else the name alone.
  std::string Folder;
  std::string GetFilename(const std::string& name) const { return Folder.empty() ? name : Folder + name; }

  // --- items ---------------------------------------------------------------------------------------------
  void CreatePopupMenu();
  void DestroyPopupMenu() { ClearAllItems(); }
  void ClearAllItems() { Items().Clear(); }
  // The item reached by captions from the top ({"其它", "选择", "单行选择"}); null when absent.
  TMenuItem* FindItem(std::initializer_list<std::string_view> path) const;
  // Hides the items whose member is missing from VisableItem / VisableOtherItem.
  void SetMenuVisible_FalseByVisableItem();

  // --- operations on the view ------------------------------------------------------------------------------
  // Inside one view update: the bands and columns cleared, one band "基本信息", one column per dataset
  // field, all in that band.
  void CreateAllItems();
  // Asks for the export right, the file name, writes the file and offers to open it. Raises
  // Exception "[导出]权限未授权" when the right is refused (nothing is asked or written); a cancelled
  // dialog ends the export silently.
  void OutFile(TOutFileType type);
  // Footer, group-footer and group-row summaries of the focused column (switches the footer on first).
  void SetColumnFoot(TSummaryKind kind);
  void SetColumnAlign(TAlignment alignment);

  // --- commands ---------------------------------------------------------------------------------------------
  void PopupMenu_Asc() { SetFocusedSortOrder(soAscending); }
  void PopupMenu_Desc() { SetFocusedSortOrder(soDescending); }
  void PopupMenu_DelAscORDesc() { SetFocusedSortOrder(soNone); }
  void PopupMenu_Count() { SetColumnFoot(skCount); }
  void PopupMenu_Sum() { SetColumnFoot(skSum); }
  void PopupMenu_Max() { SetColumnFoot(skMax); }
  void PopupMenu_Min() { SetColumnFoot(skMin); }
  void PopupMenu_empty() { SetColumnFoot(skNone); }
  void PopupMenu_AlignLeft() { SetColumnAlign(TAlignment::taLeftJustify); }
  void PopupMenu_AlignRight() { SetColumnAlign(TAlignment::taRightJustify); }
  void PopupMenu_AlignCenter() { SetColumnAlign(TAlignment::taCenter); }
  // Opens "手机串码追踪" filtered on the focused cell's serial number; "请选择串码所在列" when the focused
  // column's caption has no "串".
  void PopupMenu_TrackModeNO();
  void PopupMenu_CopyModeNO();
  void PopupMenu_OutExcel() { OutFile(otExcel); }
  void PopupMenu_OutText() { OutFile(otText); }
  // Raises "[打印]权限未授权" when refused, "未安装Excel程序" when no spreadsheet program starts (the
  // temporary workbook then stays).
  void PopupMenu_Print();
  void PopupMenu_ShowGroup();
  void PopupMenu_BestColumWidth();
  void PopupMenu_AutoColumWidth();
  void PopupMenu_AutoRowHeight();
  void PopupMenu_HideColumn();
  void PopupMenu_OtherSelectCellSelect();
  void PopupMenu_OtherSelectRowSelect();
  void PopupMenu_OtherSelectMultiRowSelect();
  void PopupMenu_OtherSelectCellsSelect();
  void PopupMenu_OtherCreateAllItems() { CreateAllItems(); }
  // Commands and operations that carry no behaviour in this menu ("平均值" is offered but does nothing;
  // layouts are stored by the screens).
  void PopupMenu_Avg() {}
  void PopupMenu_OtherAutoSumNum() {}
  void PopupMenu_OtherShowConfluence() {}
  void PopupMenu_OtherDisplayFormat() {}
  void PopupMenu_OutHtml() {}
  void PopupMenu_OutXML() {}
  void PopupMenu_SaveSetup() {}
  void PopupMenu_SaveSetupAndToDatabase() {}
  void PopupMenu_ClearSetup() {}
  void Save() {}
  void Load() {}
  void OpenRowNum() {}
  void CloseRowNum() {}
  void SetIndicator() {}

 protected:
  void DoPopup() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TMenuItem* Add(TMenuItem& parent, const std::string& caption, const std::string& name, void (TORXcxGridPopupMenu::*command)(),
                 int radioGroup = 0);
  void SetFocusedSortOrder(TSortOrder order);
  // The caption of the screen the view sits in ("" without one), by which rights are asked.
  std::string ScreenCaption() const;
  void CheckRight(const std::string& operation) const;
  void ReflectFocusedColumn(TGridColumn& column);
  void ReflectViewOptions();
  void OpenModeNOTrack(const std::string& filter);

  TGridTableView* view_ = nullptr;
};

}  // namespace jxc
