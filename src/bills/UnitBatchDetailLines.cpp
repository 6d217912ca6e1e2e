#include "bills/UnitBatchDetailLines.h"

#include "platform/DataSet.h"
#include "platform/Exceptions.h"
#include "platform/MemSQL.h"

namespace jxc {

void PostTypedRow(TDataSet& detail) {
  if (detail.State() == dsEdit || (detail.State() == dsInsert && detail.Modified())) detail.Post();
}

void RequireDetailFields(const TDataSet& detail, std::initializer_list<const char*> names) {
  for (const char* name : names)
    if (!detail.FindField(name)) throw Exception(std::string("明细没有字段[") + name + "]");
}

void SumDetailLines(TkbmMemSQL& lines, TDataSet& detail, const std::string& sql,
                    const std::map<std::string, TFieldType>& types) {
  PostTypedRow(detail);
  lines.TablesClear();
  lines.TablesAdd(detail, "Detail");
  lines.TypeHints = types;
  lines.SetFiltered(false);
  lines.ExecSQL(sql);
  const TField& product = lines.FieldByName("F_PRODUCT_ID");
  lines.DisableControls();
  lines.First();
  while (!lines.Eof()) {
    if (product.IsNull() || product.AsString().empty()) lines.Delete();
    else lines.Next();
  }
  lines.First();
  lines.EnableControls();
}

}  // namespace jxc
