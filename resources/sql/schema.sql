-- The saved parcels, the courier companies and the one settings row.
create table kd100 (
    id integer primary key autoincrement,
    number text not null default '',
    goods text not null default '',
    company text not null default '',
    num text not null default '0'
);
create table list (
    id integer primary key,
    name text not null,
    code text not null,
    shibie text not null,
    "call" text not null default ''
);
create table setting (
    邮件通知 text,
    语音提示 text,
    支持拖动 text,
    关闭窗口 text,
    气泡提示 text,
    默认查询 text,
    自动识别 text,
    通知邮箱 text
);
