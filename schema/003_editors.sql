-- Version 3: columns the master-data screens and their look-ups read that version 1 lacks.
--
-- F_CONTRACTOR: a customer's or supplier's contact person, copied into bills with the address and phone.
-- F_SHARED on the shop lists: whether a customer's or employee's row for one shop is shared with the shops
-- below it.

ALTER TABLE TB_CUSTOMER ADD COLUMN F_CONTRACTOR VARCHAR(50);
ALTER TABLE TB_CUSTOMER_SHOP_LIST ADD COLUMN F_SHARED BIT DEFAULT 0;
ALTER TABLE TB_EMPLOYEE_SHOP_LIST ADD COLUMN F_SHARED BIT DEFAULT 0;

DROP VIEW VI_GetCustomerList;
CREATE VIEW VI_GetCustomerList AS
  SELECT c.F_ID, c.F_CODE, c.F_NAME, c.F_PY, c.F_CUSTOMER_TYPE_ID, c.F_SHOP_ID, c.F_STATUS, c.F_SHARED,
         c.F_ADDRESS, c.F_MOBILE, c.F_CONTRACTOR, c.F_RECV_ADDRESS, c.F_RECV_MOBILE, c.F_HAVE_TAX, c.F_TAX_TYPE_ID,
         c.F_EMPLOYEE_ID, e.F_NAME AS F_EMPLOYEE, c.F_CAN_SELL_MODE_NO, c.F_CREDIT, c.F_REMARK
  FROM TB_CUSTOMER c LEFT JOIN TB_EMPLOYEE e ON e.F_ID = c.F_EMPLOYEE_ID;
