-- Sample parcels for the demo started by scripts/run (answered by the stand-in services).
insert into kd100 (number, goods, company, num) values ('100000000001', '爸爸衣服', '顺丰快递', '0');
insert into kd100 (number, goods, company, num) values ('100000000002', '妈妈的茶叶', '申通快递', '0');
insert into kd100 (number, goods, company, num) values ('100000000003', '机械键盘', '中通快递', '0');
insert into kd100 (number, goods, company, num) values ('100000000004', '不存在的单号', 'EMS', '0');
insert into kd100 (number, goods, company, num) values ('100000000008', '女儿的书包', '中通快递', '0');
