// The statements the screens send, word for word, run against the sample shop. Each entry is the text a
// screen builds, with {shop}, {product}, {serial}, {reversed} (the reversed last six characters of the
// serial) and {customer} standing for the values the screen appends. Screens added later add their
// statements to the table.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "services/SQLiteDBAccess.h"
#include "services/SampleShop.h"
#include "platform/DataSet.h"
#include "platform/Exceptions.h"

namespace jxc {
namespace {

struct Statement {
  const char* Sql;
  int MinRows;  // at least this many rows on the sample shop (-1: not a row-returning statement)
};

const Statement kStatements[] = {
    // Shop tree, dictionaries, locations.
    {"SELECT F_NAME FROM TB_SHOP WHERE F_ID = {shop}", 1},
    {"SELECT F_CUSTOMER,F_CUSTOMER_ID, F_ACCOUNT_ID FROM TB_SHOP WHERE F_ID = {shop}", 1},
    {"SELECT b.* FROM FUNC_GET_SHOP_CHILD_LIST({head}) a, TB_SHOP b WHERE a.F_ID = b.F_ID", 3},
    {" SELECT   a.F_ID, a.F_CODE, a.F_PY, a.F_NAME FROM TB_SHOP a , FUNC_GET_SHOP_CHILD_LIST({head}) b WHERE a.F_ID = b.F_ID", 3},
    {"SELECT a.F_ID, F_CODE, F_NAME,F_PARENTID, F_PY  FROM VI_DICT_SHOP  a,  FUNC_GET_SHOP_CHILD_LIST({head}) b WHERE a.F_ID = b.F_ID", 3},
    {"SELECT b.* FROM FUNC_GET_PROVINCE_CHILD_LIST(0) a, TB_SHOP b WHERE a.F_ID = b.F_PROVINCE_ID  AND b.F_ID IN (  SELECT  F_ID FROM FUNC_GET_SHOP_CHILD_LIST({head}))", 0},
    {"SELECT * FROM TB_SHOP WHERE F_ID IN (  SELECT  F_ID FROM FUNC_GET_SHOP_CHILD_LIST({head}))", 3},
    {"SELECT F_ID, F_NAME, F_CODE, F_PY FROM TB_STOCK_LOCATION", 2},
    {"SELECT F_ID, F_NAME, F_PY FROM TB_STOCK_LOCATION", 2},
    {"SELECT F_ID, F_NAME FROM TB_PRODUCT_UNIT", 0},
    {"SELECT F_ID,F_CODE,F_NAME FROM TB_BAND_ACCOUNT WHERE F_SHOP_ID = {shop}", 0},
    {"SELECT F_ID,F_NAME,F_PY FROM VI_DICT_BILL_TYPE", 1},
    {"SELECT F_ID=cast(F_CODE AS INTEGER), F_NAME, F_PY FROM TB_DICT_ITEM WHERE F_PARENTID = 0", 0},
    {"SELECT F_ID,F_CODE,F_NAME,F_PARENTID FROM TB_PRODUCT_CONFIG", 1},
    {"SELECT * FROM FUNC_GET_CONFIG_LIST(0)", 1},
    {"SELECT F_ID, F_NAME FROM VI_DICT_TAX_TYPE", 0},
    // Customers, suppliers and employees visible to a shop.
    {"SELECT F_ID,F_NAME, F_CODE,F_PY,  F_ADDRESS = F_RECV_ADDRESS, F_MOBILE = F_RECV_MOBILE,F_HAVE_TAX , F_EMPLOYEE_ID, "
     "F_EMPLOYEE = (SELECT F_NAME FROM TB_EMPLOYEE WHERE F_ID = F_EMPLOYEE_ID) ,F_TAX_TYPE_ID, F_CAN_SELL_MODE_NO FROM TB_CUSTOMER "
     " WHERE   (F_CUSTOMER_TYPE_ID = 2 OR F_CUSTOMER_TYPE_ID = 3) AND  ( F_SHARED = 1 OR F_ID IN (  SELECT F_MID FROM "
     "TB_CUSTOMER_SHOP_LIST a, FUNC_GET_SHOP_CHILD_LIST({shop}) b  WHERE a.F_SHOP_ID = b.F_ID)) ", 1},
    {"SELECT F_ID, F_NAME FROM TB_CUSTOMER WHERE   (F_CUSTOMER_TYPE_ID = 1 OR F_CUSTOMER_TYPE_ID = 3) AND F_STATUS = 0  AND  "
     "( F_SHARED = 1 OR F_ID IN (  SELECT F_MID FROM TB_CUSTOMER_SHOP_LIST a, FUNC_GET_SHOP_CHILD_LIST({shop}) b  WHERE a.F_SHOP_ID = b.F_ID))", 1},
    {"SELECT * FROM TB_EMPLOYEE WHERE F_STATUS = 0 AND ( F_SHARED = 1 OR F_ID IN (  SELECT F_MID FROM TB_EMPLOYEE_SHOP_LIST a, "
     "FUNC_GET_SHOP_CHILD_LIST({shop}) b  WHERE a.F_SHOP_ID = b.F_ID))", 0},
    {"SELECT * FROM VI_GetCustomerList", 1},
    {"SELECT * FROM VI_GetEmployeeList", 1},
    // Products and prices.
    {"SELECT F_ID, F_CODE, F_NAME,F_PY, F_UNIT, F_PRICE_JH, F_PRODUCT_TYPE_ID, F_CONFIG_ID FROM TB_PRODUCT_ATTRIBUTE WHERE F_STATUS = 0", 3},
    {"SELECT F_ID, F_CODE,F_PY,F_NAME,F_PRICE_JH,F_CONFIG_ID,F_CUSTOMER=(SELECT F_NAME FROM TB_CUSTOMER WHERE F_ID = F_CUSTOMER_ID), "
     "F_CUSTOMER_ID, F_CONFIG = (SELECT F_NAME FROM TB_PRODUCT_CONFIG WHERE F_ID = TB_PRODUCT_ATTRIBUTE.F_CONFIG_ID), F_UNIT,"
     "F_PRICE_EMPLOYEE, F_PRICE_PF, F_PRODUCT_TYPE_ID FROM TB_PRODUCT_ATTRIBUTE", 3},
    {"SELECT  F_CONFIG_ID, F_PRICE_JH, F_PRICE_PF, F_PRICE_LS, F_PRICE_EMPLOYEE FROM TB_PRODUCT_ATTRIBUTE WHERE F_ID ={product}", 1},
    {"SELECT F_PRICE_JH, F_PRICE_EMPLOYEE  FROM TB_PRODUCT_ATTRIBUTE WHERE F_ID = {product}", 1},
    {"SELECT F_UNIT, F_CONFIG_ID,F_PRODUCT_TYPE_ID FROM TB_PRODUCT_ATTRIBUTE WHERE F_ID ={product}", 1},
    {"SELECT dbo.FUNC_GET_PRODUCT_PRICE({shop}, {product},7)", 1},
    {"SELECT * FROM TB_PRODUCT_COLOR", 1},
    // Stock look-ups of the bill screens.
    {"SELECT * FROM VI_GetSysStock WITH(nolock) WHERE F_MODE_NO =  '{serial}'", 1},
    {"SELECT TOP 1 * FROM VI_GetSysStock WITH(nolock)  WHERE  reverse(F_MODE_NO) LIKE '{reversed}%'", 1},
    // The stock pop-up appends its conditions without a blank after the shop.
    {"SELECT * FROM VI_GetSysStock WITH(nolock) WHERE F_SHOP_ID  = {shop}AND F_PRODUCT_ID ={product}", 1},
    {"SELECT F_ID, F_MODE_NO, F_COLOR, F_CONFIG, F_CUSTOMER_ID, F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID , F_COLOR_ID, F_UNIT, F_QTY, "
     "F_PRICE, F_MODE_NO, F_PRODUCT  , F_CONFIG_ID, F_PRODUCT_TYPE_ID, F_PRICE_EMPLOYEE FROM VI_GetSysStock WITH(nolock)   WHERE  "
     "reverse(F_MODE_NO) LIKE '{reversed}%'", 1},
    {" SELECT F_ID, F_CUSTOMER_ID, F_CONFIG, F_COLOR, F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, F_PRODUCT, F_COLOR_ID,    F_UNIT, F_QTY, "
     "F_PRICE, F_MODE_NO,   F_CONFIG_ID, F_PRICE_EMPLOYEE,        F_PRODUCT_TYPE_ID      FROM VI_GetSysStock WITH(nolock)  WHERE "
     "F_MODE_NO = '{serial}'", 1},
    {" SELECT SUM(a.F_QTY) F_HAVE_QTY,  F_COST_PRICE = (SELECT SUM(F_COST_MONEY) / SUM(F_HAVE_QTY) FROM TB_SYS_STOCK WITH(Nolock) "
     "WHERE F_HAVE_QTY  > 0  AND  F_PRODUCT_ID = a.F_PRODUCT_ID AND F_COLOR_ID = a.F_COLOR_ID) , a.F_PRODUCT_ID, F_PRODUCT,a.F_COLOR  "
     "FROM VI_QuerySysStock a  WITH(nolock) WHERE F_PRODUCT_ID = {product} GROUP BY a.F_PRODUCT_ID, F_PRODUCT, a.F_COLOR, a.F_COLOR_ID", 1},
    {" SELECT TOP 1 F_COST_PRICE, F_IN_DATE, F_CUSTOMER_ID, CAST(F_EMPLOYEE_MONEY /F_QTY AS DECIMAL(10, 2)) F_PRICE_EMPLOYEE FROM "
     "TB_JXC_ACCOUNT WITH(nolock) WHERE F_ID = (SELECT MAX(F_ID) FROM TB_JXC_ACCOUNT WITH(nolock)  WHERE F_PRODUCT_ID = {product})", 0},
    {"SELECT  F_IN_DATE FROM TB_IN_STOCK_DETAIL WITH(nolock) WHERE F_MODE_NO = '{serial}'", 0},
    {"SELECT F_USE_QTY, F_MODE_NO FROM TB_IN_STOCK_DETAIL WITH(nolock) WHERE F_MID = 0", 0},
    // Sales, returns and exchanges.
    {" SELECT F_ID, F_SHOP_ID, F_CUSTOMER_ID, F_BiLL_ID,  F_CUSTOMER, F_SHOP,   F_BILL_DATE, F_MODE_NO, F_PRODUCT_ID, F_PRODUCT, "
     "F_COST_PRICE, F_PRICE_EMPLOYEE, F_COLOR_ID, F_CONFIG_ID, F_STOCK_ID, F_UNIT, F_PRICE,  F_QTY, F_PRESENT, F_MONEY, F_SOURCE_ID, "
     "F_GYS_ID, F_PRODUCT_TYPE_ID, F_LOCATION_ID, F_IN_DATE, F_KIND, F_IN_DATE FROM VI_GetPFSaleDetail2 WITH(nolock)   WHERE   "
     "reverse(F_MODE_NO) LIKE '{reversed}%'", 0},
    {" SELECT F_ID, F_SHOP_ID, F_CUSTOMER_ID,F_BiLL_ID,  F_CUSTOMER, F_SHOP,   F_BILL_DATE, F_MODE_NO, F_PRODUCT_ID,  F_LOCATION_ID, "
     "F_IN_DATE, F_PRODUCT, F_COST_PRICE, F_PRICE_EMPLOYEE, F_COLOR_ID, F_CONFIG_ID, F_STOCK_ID, F_UNIT, F_PRICE,  F_QTY, F_PRESENT, "
     "F_MONEY, F_SOURCE_ID, F_GYS_ID, F_PRODUCT_TYPE_ID, F_KIND, F_IN_DATE FROM VI_GetRetailSaleDetail2 WITH(nolock)  WHERE  "
     "reverse(F_MODE_NO) LIKE '{reversed}%'", 0},
    {" SELECT F_ID, F_SHOP_ID, F_CUSTOMER_ID, F_BiLL_ID,  F_CUSTOMER, F_SHOP,   F_BILL_DATE, F_MODE_NO, F_PRODUCT_ID, F_PRODUCT, "
     "F_COST_PRICE, F_PRICE_EMPLOYEE, F_COLOR_ID, F_CONFIG_ID, F_STOCK_ID, F_UNIT, F_PRICE,  F_QTY, F_PRESENT, F_MONEY, F_SOURCE_ID, "
     "F_GYS_ID, F_PRODUCT_TYPE_ID, F_KIND, F_IN_DATE FROM VI_GetRetailSaleDetail2 WITH(nolock)  WHERE  F_MODE_NO = '{serial}'", 0},
    {"SELECT F_EMPLOYEE_ID, F_EMPLOYEE FROM TB_PF_SALE WITH(Nolock) WHERE F_ID = 0", 0},
    {"SELECT F_EMPLOYEE_ID, F_EMPLOYEE FROM TB_RETAIL_SALE  WITH(Nolock) WHERE F_ID = 0", 0},
    {"SELECT F_EMPLOYEE_ID, F_EMPLOYEE FROM TB_PRODUCT_CHANGE  WITH(Nolock) WHERE F_ID = 0", 0},
    {"SELECT F_EMPLOYEE_ID,F_EMPLOYEE, F_CUSTOMER, F_CUSTOMER_ID, F_SHOP_ID FROM TB_PF_SALE WHERE F_ID = 0", 0},
    {"SELECT F_EMPLOYEE_ID,F_EMPLOYEE, F_CUSTOMER, F_CUSTOMER_ID, F_SHOP_ID FROM TB_RETAIL_SALE WHERE F_ID = 0", 0},
    {"SELECT F_EMPLOYEE_ID,F_EMPLOYEE, F_CUSTOMER, F_CUSTOMER_ID, F_SHOP_ID F_EMPLOYEE FROM TB_PRODUCT_CHANGE WHERE F_ID = 0", 0},
    {"SELECT COUNT(1) F_CN,  a.F_MODE_NO  FROM TB_PF_RETURN_DETAIL a WITH(nolock) WHERE F_MID = 0 GROUP BY a.F_MODE_NO", 0},
    {"SELECT TOP 10 a.F_MODE_NO, b.F_LAST_UPDATE FROM TB_PF_RETURN_DETAIL a INNER JOIN TB_MODE_NO_FL b ON a.F_MODE_NO = b.F_MODE_NO WHERE F_MID = 0", 0},
    {"EXEC PROC_CHECK_CUSTOMER_ACCOUNT_RETUAN {customer}", 1},
    {"SELECT * FROM TB_ACC_SETTELMENT_DETAIL WHERE 1 = 0", 0},
    // The system tables of the frameworks.
    {"SELECT F_ID, F_CODE, F_NAME, F_PARENTID,  F_ClassName, F_FormType, F_TableName, F_DATA, F_SORT_FIELD, F_GRID_NAME,F_UI_CONFIG   "
     "FROM TB_SYS_FUNCTION WHERE F_NAME = '采购入库'", 1},
    {"SELECT F_ID, F_CODE, F_NAME, F_PY,  F_PARENTID,  F_ClassName, F_FormType, F_TableName, F_DATA, F_SORT_FIELD, F_GRID_NAME,"
     "F_UI_CONFIG   FROM TB_SYS_FUNCTION WHERE F_NAME = '采购入库'", 1},
    {"SELECT F_TABLENAME FROM TB_SYS_FUNCTION WHERE F_NAME = '采购入库'", 1},
    {"SELECT F_UI_CONFIG FROM TB_SYS_FUNCTION WHERE F_NAME = '采购入库'", 1},
    {"SELECT F_ID, F_CONSTRAINTS_MESSAGE, F_NAME FROM TB_SYS_FIELD_LIST WHERE F_CONTROL = 1 AND F_MID =0", 0},
    {"SELECT  F_BILL_ID, F_KIND, F_BILL_CODE, F_MESSAGE, F_ADD_USER, F_ADD_DATE FROM TB_SYS_LOG WHERE F_ID = 0", 0},
    {"SELECT * FROM TB_SYS_DIM_CONFIG WHERE 1 = 0", 0},
    {"SELECT * FROM TB_FACTORY_DEFINE WHERE 1 = 0", 0},
    {"SELECT * FROM TB_SALE_PACKAGE WHERE 1 = 0", 0},
    {"SELECT * FROM TB_PROVINCE", 0},
    // The master-data screens: their lists, a row read back after its editor saved it, a delete with its details.
    {"SELECT * FROM TB_PRODUCT_ATTRIBUTE WITH(NOLOCK) ", 8},
    {"SELECT * FROM VI_GetCustomerList WITH(NOLOCK) ", 1},
    {"SELECT * FROM VI_GetEmployeeList WITH(NOLOCK)  WHERE F_STATUS = 0", 1},
    {"SELECT * FROM TB_BAND_ACCOUNT WITH(NOLOCK) ", 1},
    {"SELECT * FROM TB_PRODUCT_ATTRIBUTE WITH(NOLOCK)  WHERE F_ID = {product}", 1},
    {"DELETE FROM TB_PRODUCT_COLOR WHERE F_ID = 0\r\nDELETE FROM TB_PRODUCT_SHOP_PRICE WHERE F_PRODUCT_ID = 0", -1},
    // Writes.
    {"UPDATE TB_SHOP SET F_REMARK = ISNULL(F_REMARK, '') + '已盘点' WHERE F_ID = {shop}", -1},
    {"INSERT INTO TB_SYS_LOG (F_ID, F_BILL_ID, F_KIND, F_BILL_CODE, F_MESSAGE, F_ADD_USER, F_ADD_DATE) VALUES "
     "(1, 0, 2, 'RK', '测试', 'admin', GETDATE())", -1},
    {" DELETE FROM  TB_SYS_LOG WHERE F_ID = 1", -1},
};

std::string Replace(std::string text, const std::string& key, const std::string& value) {
  for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
    text.replace(at, key.size(), value);
  return text;
}

TEST(DbStatements, EveryStatementTheScreensSendRunsOnTheSampleShop) {
  const std::string path = ::testing::TempDir() + "jxc_statements_" + std::to_string(::getpid()) + ".db";
  for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path + suffix).c_str());
  {
    TSQLiteDBAccess db(path);
    TSampleShopOptions options;
    options.Units = 20;
    const TSampleShop shop = CreateSampleShop(db, options);
    const std::string serial = SampleSerial(0);
    std::string reversed = serial.substr(serial.size() - 6);
    std::reverse(reversed.begin(), reversed.end());
    for (const auto& statement : kStatements) {
      std::string sql = statement.Sql;
      sql = Replace(sql, "{shop}", std::to_string(shop.Branches[0]));
      sql = Replace(sql, "{head}", std::to_string(shop.HeadOffice));
      sql = Replace(sql, "{product}", std::to_string(shop.Handsets[0]));
      sql = Replace(sql, "{customer}", std::to_string(shop.Customers[0]));
      sql = Replace(sql, "{serial}", serial);
      sql = Replace(sql, "{reversed}", reversed);
      try {
        if (statement.MinRows < 0) {
          db.ExecSQL(sql);
        } else {
          auto result = db.OpenSQL(sql);
          EXPECT_GE(result->RecordCount(), statement.MinRows) << sql;
        }
      } catch (const std::exception& e) {
        ADD_FAILURE() << sql << "\n  -> " << e.what();
      }
    }
  }
  for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path + suffix).c_str());
}

}  // namespace
}  // namespace jxc
