-- The database shipped as "Talvoren.db": the imported-file table with every column
-- and no rows. Columns 5 to 11 are the ones the upgrade step adds to databases of
-- older installations, with the same types and defaults.
create table imported_file (
    id integer primary key,
    file_name text,
    camera_id text,
    datetime integer,
    original_file_name text not null default '',
    transferred_folder text not null default '',
    mirror_image_type text not null default '',
    drawing_flg text not null default '',
    mode text not null default '',
    captured_dttm integer not null default 0,
    hash_code text not null default ''
);

-- The duplicate test compares hash_code for equality: the index narrows it to the
-- few rows of the same picture before the file name is matched.
create index imported_file_hash_code_index on imported_file (hash_code);
